#include "host/files.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <limits>
#include <string_view>
#include <vector>

#include "host/code_page.h"
#include "host/handles.h"
#include "host/text.h"

namespace {

// Writes every byte of the block; WriteFile may take fewer at a time.
bool WriteAll(HANDLE file, const Bytes& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const std::size_t left = data.size() - done;
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file, data.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// Where the last path separator of an ANSI path is, npos for none. A
// double-byte character's second byte may be 0x5C (乗 is 81 5C): the walk
// steps over whole characters, so only real separators count.
std::size_t LastSeparator(std::string_view path) {
  std::size_t last = std::string_view::npos;
  for (std::size_t at = 0; at < path.size(); at = NextCharacter(path, at, IsAnsiLeadByte))
    if (path[at] == '\\' || path[at] == '/') last = at;
  return last;
}

// The folder part of a path (up to its last separator), "." when it has none.
std::string FolderOf(const std::string& path) {
  const std::size_t cut = LastSeparator(path);
  if (cut == std::string::npos) return ".";
  if (cut == 0) return path.substr(0, 1);
  // "C:\name": keep the backslash so that the folder is the drive's root.
  if (cut == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, cut);
}

// folder + "\" + name, without doubling a separator the folder ends with.
std::string JoinPath(const std::string& folder, std::string_view name) {
  const bool separated = !folder.empty() && LastSeparator(folder) == folder.size() - 1;
  return folder + (separated ? "" : "\\") + std::string(name);
}

// Temporary files of a replacement are named "~kl<writer's process id>-<n>.tmp".
constexpr std::string_view kTemporaryPrefix = "~kl";
constexpr std::string_view kTemporarySuffix = ".tmp";

// A name for a file in `folder` that nothing else uses at this moment.
std::string TemporaryNameIn(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  const std::string base =
      JoinPath(folder, std::string(kTemporaryPrefix) + std::to_string(GetCurrentProcessId()) + "-");
  for (;;) {
    std::string candidate = base + std::to_string(++counter) + std::string(kTemporarySuffix);
    if (GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) return candidate;
  }
}

std::string TemporaryNameBeside(const std::string& path) { return TemporaryNameIn(FolderOf(path)); }

// Why a file could not be made or written, from the system's error.
WriteOutcome OutcomeOfError(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return WriteOutcome::kDiskFull;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_NOT_READY:
      return WriteOutcome::kFolderRefused;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return WriteOutcome::kHeld;
    default:
      return WriteOutcome::kFailed;
  }
}

// Makes the file, which must not exist yet, and writes the bytes into it
// (flushed when asked); on a failure after it was made, it is removed again.
WriteOutcome WriteNewFile(const std::string& path, const Bytes& data, bool flush) {
  WriteOutcome outcome = WriteOutcome::kWritten;
  {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return OutcomeOfError(GetLastError());
    if (!WriteAll(file.get(), data) || (flush && !FlushFileBuffers(file.get())))
      outcome = OutcomeOfError(GetLastError());
  }
  if (outcome == WriteOutcome::kWritten) return outcome;
  DeleteFileA(path.c_str());
  // The write's own error names why; a refusal to write in a file just made is no folder's.
  return outcome == WriteOutcome::kFolderRefused ? WriteOutcome::kFailed : outcome;
}

std::uint64_t TicksOf(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Takes a run of decimal digits from the front of `text`; false when there is
// none or it overflows.
bool TakeNumber(std::string_view& text, DWORD& value) {
  std::size_t digits = 0;
  value = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    const DWORD digit = static_cast<DWORD>(text[digits] - '0');
    if (value > (std::numeric_limits<DWORD>::max() - digit) / 10) return false;
    value = value * 10 + digit;
    ++digits;
  }
  text.remove_prefix(digits);
  return digits > 0;
}

// The writer's process id when `name` is exactly a temporary file's name.
bool TemporaryFileWriter(std::string_view name, DWORD& writer) {
  if (name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix) return false;
  name.remove_prefix(kTemporaryPrefix.size());
  DWORD counter = 0;
  if (!TakeNumber(name, writer) || name.empty() || name.front() != '-') return false;
  name.remove_prefix(1);
  return TakeNumber(name, counter) && name == kTemporarySuffix;
}

// False only when no process with that id exists any more (or it has ended);
// a process that cannot be opened for lack of rights is running.
bool IsProcessRunning(DWORD id) {
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
  if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
  return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// Moves `from` over `to`. A virus scanner, an indexer or a backup tool may
// hold the target open for a moment (under Wine any open handle blocks the
// move), so a refusal for that reason is retried for about half a second.
// The temporary file could be made beside the target, so a refusal that
// outlasts the retry is the target's: it is held (or locked against change).
WriteOutcome MoveOverTarget(const std::string& from, const std::string& to) {
  constexpr int kAttempts = 10;
  constexpr DWORD kPauseMs = 50;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return WriteOutcome::kWritten;
    const DWORD error = GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
    if (!held) return OutcomeOfError(error);
    if (attempt == kAttempts) return WriteOutcome::kHeld;
    Sleep(kPauseMs);
  }
}

// Only junctions and symbolic links lead elsewhere; a folder with another
// reparse tag (a cloud-sync placeholder, a deduplicated file) is an ordinary
// entry of the tree.
template <typename FindData>
bool IsLinkEntry(const FindData& entry) {
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(entry.dwReserved0);
}

// The folder walks use wide names on "\\?\" paths: an ANSI listing spells a
// character that the code page lacks as "?" or as a look-alike (under 1252
// the full-width backslash comes back as "\"), a name that then misses its
// entry or names another one. The "\\?\" form also passes names as they are
// (a closing dot or space is not cut off) and is not held to MAX_PATH.
constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

// The full wide path of an ANSI path, without a closing separator ("C:\x\" and
// "C:\x" are one folder); empty when it has none.
std::wstring FullPathOf(std::string_view path) {
  const std::wstring wide = WidenAnsi(path);
  if (wide.empty()) return {};
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) {
      full.resize(length);
      break;
    }
    full.resize(length);
  }
  while (full.size() > 1 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  return full;
}

// The "\\?\" form of a full path; a path already in a device form stays.
std::wstring LongPathOf(const std::wstring& full) {
  if (full.rfind(L"\\\\?\\", 0) == 0 || full.rfind(L"\\\\.\\", 0) == 0) return full;
  if (full.rfind(L"\\\\", 0) == 0) return std::wstring(kLongUncPrefix) + full.substr(2);
  return std::wstring(kLongPrefix) + full;
}

// The ANSI full path of a "\\?\" path, as the callers spell their folders;
// false when the code page cannot spell it.
bool ShownPathOf(const std::wstring& longPath, std::string& shown) {
  if (longPath.rfind(kLongUncPrefix, 0) == 0)
    return NarrowToAnsi(L"\\\\" + longPath.substr(kLongUncPrefix.size()), shown);
  if (longPath.rfind(kLongPrefix, 0) == 0)
    return NarrowToAnsi(std::wstring_view(longPath).substr(kLongPrefix.size()), shown);
  return NarrowToAnsi(longPath, shown);
}

// A name that stands for one entry of its folder: not empty, not made of
// dots only ("." and ".." step in place or out), and without a separator or
// a colon (which would name a stream).
bool IsPlainName(std::wstring_view name) {
  if (name.find_first_not_of(L'.') == std::wstring_view::npos) return false;
  return name.find_first_of(L"\\/:") == std::wstring_view::npos;
}

// True when `path` lies strictly below the folder `root` (both full paths of
// one form): the folder itself, its parents and every other place are
// outside, and so is any path whose rest below `root` holds a part that is
// not a plain name.
bool IsStrictlyInside(const std::wstring& path, const std::wstring& root) {
  if (root.empty() || path.size() <= root.size() + 1 || path[root.size()] != L'\\') return false;
  if (CompareStringOrdinal(path.data(), static_cast<int>(root.size()), root.data(), static_cast<int>(root.size()),
                           TRUE) != CSTR_EQUAL)
    return false;
  std::wstring_view rest = std::wstring_view(path).substr(root.size() + 1);
  for (;;) {
    const std::size_t cut = rest.find(L'\\');
    if (!IsPlainName(rest.substr(0, cut))) return false;
    if (cut == std::wstring_view::npos) return true;
    rest.remove_prefix(cut + 1);
  }
}

// Calls `visit` with each entry of the folder (a "\\?\" path) and its path,
// taking every name as the system gives it; "." and "..", and any name that
// would lead out of `root`, are never visited.
template <typename Visit>
void ForEachEntry(const std::wstring& folder, const std::wstring& root, Visit visit) {
  WIN32_FIND_DATAW entry;
  UniqueFind find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do {
    std::wstring child = folder + L"\\" + entry.cFileName;
    if (IsStrictlyInside(child, root)) visit(entry, child);
  } while (FindNextFileW(find.get(), &entry));
}

// A read-only entry cannot be deleted or overwritten: the attribute goes first.
void DropReadOnly(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

// Removes a junction or symbolic link itself, never what it points to (its
// attributes are left alone: setting them may reach the target).
void RemoveLink(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    RemoveDirectoryW(path.c_str());
  else
    DeleteFileW(path.c_str());
}

// Whether the caller keeps the folder. A folder whose path the code page
// cannot spell is none of the caller's: every folder it names is an ANSI text.
bool IsKept(const KeepFolder& keep, const std::wstring& folder) {
  std::string shown;
  return keep && ShownPathOf(folder, shown) && keep(shown);
}

// Empties the folder depth first. Entries whose names begin with a dot stay,
// and so do the folders `keep` names; anything that cannot be removed is
// passed over. Nothing outside `root` is touched.
void RemoveFolderContent(const std::wstring& folder, const std::wstring& root, const KeepFolder& keep) {
  ForEachEntry(folder, root, [&](const WIN32_FIND_DATAW& entry, const std::wstring& child) {
    if (entry.cFileName[0] == L'.') return;
    if (IsLinkEntry(entry)) {
      RemoveLink(child, entry.dwFileAttributes);
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (IsKept(keep, child)) return;
      RemoveFolderContent(child, root, keep);
      DropReadOnly(child, entry.dwFileAttributes);
      RemoveDirectoryW(child.c_str());
    } else {
      DropReadOnly(child, entry.dwFileAttributes);
      DeleteFileW(child.c_str());
    }
  });
}

void DropReadOnlyBelow(const std::wstring& folder, const std::wstring& root) {
  ForEachEntry(folder, root, [&](const WIN32_FIND_DATAW& entry, const std::wstring& child) {
    if (IsLinkEntry(entry)) return;
    DropReadOnly(child, entry.dwFileAttributes);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) DropReadOnlyBelow(child, root);
  });
}

// The entry that names the path itself; false when nothing is there.
bool FindEntry(const std::string& path, WIN32_FIND_DATAA& entry) {
  UniqueFind find(FindFirstFileA(path.c_str(), &entry));
  return static_cast<bool>(find);
}

// Where the first folder that may need making starts: after "X:\\", after a
// leading backslash, or after "\\\\server\\share\\".
std::size_t FirstFolderAfterRoot(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.size() > 2 && path[2] == '\\' ? 3 : 2;
  if (path.rfind("\\\\", 0) == 0) {
    std::size_t at = path.find('\\', 2);                        // end of the server
    if (at != std::string::npos) at = path.find('\\', at + 1);  // end of the share
    return at == std::string::npos ? path.size() : at + 1;
  }
  return path.rfind('\\', 0) == 0 ? 1 : 0;
}

}  // namespace

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A full buffer may mean the name was cut: ask again with more room.
    if (length < path.size() - 1) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  // The ANSI name of a character the code page lacks would be a stand-in
  // ("?") that names no folder.
  const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), static_cast<int>(path.size()),
                                        nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string ansi(static_cast<std::size_t>(bytes), '\0');
  BOOL lossy = FALSE;
  if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), static_cast<int>(path.size()), ansi.data(), bytes,
                          nullptr, &lossy) != bytes ||
      lossy)
    return {};
  const std::size_t cut = LastSeparator(ansi);
  return cut == std::string::npos ? std::string() : ansi.substr(0, cut);
}

Bytes ReadFileBytes(const std::string& path) {
  Bytes data;
  if (ReadFileWithin(path, std::numeric_limits<std::uint64_t>::max(), data) != ReadOutcome::kRead) return {};
  return data;
}

ReadOutcome ReadFileWithin(const std::string& path, std::uint64_t limit, Bytes& data, std::uint64_t* lastWrite) {
  data.clear();
  if (path.empty()) return ReadOutcome::kMissing;
  // Others may read the file while it is open here, but not change it.
  UniqueFile file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadOutcome::kMissing
                                                                          : ReadOutcome::kUnreadable;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return ReadOutcome::kUnreadable;
  if (lastWrite) {
    FILETIME written = {};
    if (!GetFileTime(file.get(), nullptr, nullptr, &written)) return ReadOutcome::kUnreadable;
    *lastWrite = TicksOf(written);
  }
  const auto length = static_cast<std::uint64_t>(size.QuadPart);
  if (length > limit || length > std::numeric_limits<DWORD>::max() || length > data.max_size())
    return ReadOutcome::kUnreadable;
  try {
    data.resize(static_cast<std::size_t>(length));
  } catch (const std::exception&) {  // bad_alloc, length_error
    data.clear();
    return ReadOutcome::kUnreadable;
  }
  std::size_t got = 0;
  while (got < data.size()) {
    DWORD chunk = 0;
    if (!ReadFile(file.get(), data.data() + got, static_cast<DWORD>(data.size() - got), &chunk, nullptr)) {
      data.clear();
      return ReadOutcome::kUnreadable;
    }
    if (chunk == 0) break;  // the file became shorter: keep what arrived
    got += chunk;
  }
  data.resize(got);
  return ReadOutcome::kRead;
}

namespace {

bool CreateAndWrite(const std::string& path, DWORD sharing, const std::vector<Bytes>& parts) {
  if (path.empty()) return false;
  UniqueFile file(
      CreateFileA(path.c_str(), GENERIC_WRITE, sharing, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  for (const Bytes& part : parts)
    if (!WriteAll(file.get(), part)) return false;
  return true;
}

}  // namespace

bool WriteFileBytes(const std::string& path, const std::vector<Bytes>& parts) { return CreateAndWrite(path, 0, parts); }

bool WriteSharedFileBytes(const std::string& path, const Bytes& data) {
  return CreateAndWrite(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, {data});
}

bool WriteFileBytes(const std::string& path, const Bytes& data) {
  return WriteFileBytes(path, std::vector<Bytes>{data});
}

FileState StateOfFile(const std::string& path) {
  FileState state;
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!path.empty() && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    state.exists = true;
    state.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    state.lastWrite = TicksOf(data.ftLastWriteTime);
    return state;
  }
  const DWORD error = GetLastError();
  // Unknown: no size or time that a stored file could have.
  state.exists = !path.empty() && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
  state.size = state.exists ? std::numeric_limits<std::uint64_t>::max() : 0;
  return state;
}

WriteOutcome ReplaceFileBytes(const std::string& path, const Bytes& data) {
  if (path.empty()) return WriteOutcome::kFailed;
  // A read-only target is refused here too, so that the result does not hang
  // on whether the platform's move honours the attribute.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return WriteOutcome::kFailed;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return WriteOutcome::kReadOnly;

  const std::string temporary = TemporaryNameBeside(path);
  const WriteOutcome written = WriteNewFile(temporary, data, true);
  if (written != WriteOutcome::kWritten) return written;
  const WriteOutcome moved = MoveOverTarget(temporary, path);
  if (moved != WriteOutcome::kWritten) DeleteFileA(temporary.c_str());
  return moved;
}

bool WriteNewFileWhole(const std::string& path, const Bytes& data) {
  if (path.empty()) return false;
  const std::string temporary = TemporaryNameBeside(path);
  if (WriteNewFile(temporary, data, false) != WriteOutcome::kWritten) return false;
  if (MoveFileExA(temporary.c_str(), path.c_str(), 0)) return true;
  DeleteFileA(temporary.c_str());
  return false;
}

bool CanWriteInFolder(const std::string& folder) {
  if (folder.empty()) return false;
  const std::string probe = TemporaryNameIn(folder);
  if (WriteNewFile(probe, {}, false) != WriteOutcome::kWritten) return false;
  // A probe that stays is removed by the next start's sweep (its writer has ended by then).
  DeleteFileA(probe.c_str());
  return true;
}

namespace {

struct Leftover {
  std::string path;
  std::uint64_t lastWrite;
  bool empty;  // holds no byte: a probe, or a write cut off at its start
};

// The temporary files in `folder` whose writers are no longer running.
std::vector<Leftover> DeadLeftoversIn(const std::string& folder) {
  std::vector<Leftover> leftovers;
  if (folder.empty()) return leftovers;
  WIN32_FIND_DATAA entry;
  UniqueFind find(FindFirstFileA(JoinPath(folder, std::string(kTemporaryPrefix) + "*").c_str(), &entry));
  if (!find) return leftovers;
  do {
    DWORD writer = 0;
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    if (!TemporaryFileWriter(entry.cFileName, writer) || writer == GetCurrentProcessId() || IsProcessRunning(writer))
      continue;
    leftovers.push_back({JoinPath(folder, entry.cFileName), TicksOf(entry.ftLastWriteTime),
                         entry.nFileSizeHigh == 0 && entry.nFileSizeLow == 0});
  } while (FindNextFileA(find.get(), &entry));
  return leftovers;
}

}  // namespace

void RemoveLeftoverTemporaryFiles(const std::string& folder) {
  for (const Leftover& leftover : DeadLeftoversIn(folder)) DeleteFileA(leftover.path.c_str());
}

void SweepLeftoverTemporaryFiles(const std::string& target) {
  if (target.empty()) return;
  std::vector<Leftover> leftovers = DeadLeftoversIn(FolderOf(target));
  if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // An empty leftover holds nothing to recover.
    auto newest = leftovers.end();
    for (auto it = leftovers.begin(); it != leftovers.end(); ++it)
      if (!it->empty && (newest == leftovers.end() || it->lastWrite > newest->lastWrite)) newest = it;
    // Never over a file that appeared meanwhile; a leftover that could not
    // take the name stays for the next start.
    if (newest != leftovers.end()) {
      MoveFileExA(newest->path.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
      leftovers.erase(newest);
    }
  }
  for (const Leftover& leftover : leftovers) DeleteFileA(leftover.path.c_str());
}

bool IsExistingFile(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFolder(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFolderTree(std::string_view path, std::string_view container, const KeepFolder& keep) {
  while (!path.empty() && path.front() == ' ') path.remove_prefix(1);
  if (path.empty() || container.empty()) return false;
  // Compared as full paths before either takes the "\\?\" form, so that a
  // path given in a device form is never taken for one inside.
  const std::wstring fullFolder = FullPathOf(path);
  const std::wstring fullContainer = FullPathOf(container);
  if (!IsStrictlyInside(fullFolder, fullContainer)) return false;
  const std::wstring folder = LongPathOf(fullFolder);
  WIN32_FIND_DATAW entry;
  UniqueFind find(FindFirstFileExW(folder.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
  if (!find || !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  // The folder itself may be a link: then only the link goes.
  if (IsLinkEntry(entry)) return RemoveDirectoryW(folder.c_str()) != FALSE;
  if (IsKept(keep, folder)) return false;
  RemoveFolderContent(folder, folder, keep);
  DropReadOnly(folder, entry.dwFileAttributes);
  return RemoveDirectoryW(folder.c_str()) != FALSE;
}

bool RemoveFolderTree(std::string_view path) { return RemoveFolderTree(path, ProgramFolder()); }

void DropReadOnlyInTree(const std::string& folder) {
  const std::wstring full = FullPathOf(folder);
  if (full.empty()) return;
  const std::wstring root = LongPathOf(full);
  DropReadOnlyBelow(root, root);
}

bool IsLink(const std::string& path) {
  WIN32_FIND_DATAA entry;
  return !path.empty() && path.back() != '\\' && FindEntry(path, entry) && IsLinkEntry(entry);
}

bool HasLinkBelow(const std::string& folder, std::string_view relative) {
  if (IsLink(folder)) return true;
  for (std::size_t at = 0; at <= relative.size(); at = NextCharacter(relative, at, IsAnsiLeadByte)) {
    if (at < relative.size() && relative[at] != '\\') continue;
    if (IsLink(JoinTexts({folder, "\\", relative.substr(0, at)}))) return true;
    if (at == relative.size()) break;
  }
  return false;
}

bool EnsureFolderPath(const std::string& path) {
  // The ANSI folder functions stop at MAX_PATH.
  if (path.size() >= MAX_PATH) return false;
  // Made here rather than by dbghelp's MakeSureDirectoryPathExists: that one
  // cuts at every byte 0x5C, also the second byte of a double-byte character,
  // and so makes stray folders named after half an account text.
  for (std::size_t at = FirstFolderAfterRoot(path); at < path.size(); at = NextCharacter(path, at, IsAnsiLeadByte)) {
    if (path[at] != '\\') continue;
    const std::string folder = path.substr(0, at + 1);
    if (CreateDirectoryA(folder.c_str(), nullptr)) continue;
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  }
  return true;
}

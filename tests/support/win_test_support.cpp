#include "win_test_support.h"

#include <algorithm>

#include <thread>

namespace test {

std::string BinFolder() {
  char path[MAX_PATH * 4] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string p(path, n);
  return p.substr(0, p.find_last_of('\\'));
}

namespace {
std::string TemporaryRoot() {
  char base[MAX_PATH] = {};
  GetTempPathA(sizeof base, base);
  return base;
}
}  // namespace

std::string LastingFolderRoot() {
  const std::string root = "C:\\kltests";
  CreateDirectoryA(root.c_str(), nullptr);
  return root;
}

TempFolder::TempFolder() : TempFolder(TemporaryRoot()) {}

TempFolder::TempFolder(const std::string& base) {
  const std::string prefix = base.empty() || base.back() == '\\' ? base : base + "\\";
  static unsigned counter = 0;
  for (;;) {
    path_ = prefix + "kltest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

namespace {

// Wide names on "\\?\" paths, so that entries whose names the code page
// cannot spell, or that end in a dot or a space, go too.
void RemoveLongTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (find) {
      do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") RemoveLongTree(path + L"\\" + name);
      } while (FindNextFileW(find.get(), &entry));
    }
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    RemoveDirectoryW(path.c_str());
  else
    DeleteFileW(path.c_str());
}

}  // namespace

void RemoveTree(const std::string& path) {
  if (path.empty()) return;
  wchar_t full[MAX_PATH] = {};
  const DWORD length = GetFullPathNameW(Widen(path).c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return;
  const std::wstring fullPath(full, length);
  // A share or a path already in a device form is used as it is.
  RemoveLongTree(fullPath.rfind(L"\\\\", 0) == 0 ? fullPath : L"\\\\?\\" + fullPath);
}

std::wstring LongPath(const std::string& folder) { return L"\\\\?\\" + Widen(folder); }

bool MakeWide(const std::wstring& base, const std::wstring& relative) {
  for (std::size_t cut = relative.find(L'\\'); cut != std::wstring::npos; cut = relative.find(L'\\', cut + 1)) {
    const std::wstring folder = base + L"\\" + relative.substr(0, cut);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  if (relative.empty() || relative.back() == L'\\') return true;
  UniqueFile file(CreateFileW((base + L"\\" + relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

bool MarkReadOnly(const std::wstring& base, std::wstring relative) {
  if (!relative.empty() && relative.back() == L'\\') relative.pop_back();
  const std::wstring path = base + L"\\" + relative;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
}

namespace {

void ListWide(const std::wstring& base, const std::wstring& prefix, std::vector<std::wstring>& listing) {
  WIN32_FIND_DATAW entry;
  UniqueFind find(FindFirstFileW((base + L"\\" + prefix + L"*").c_str(), &entry));
  if (!find) return;
  std::vector<WIN32_FIND_DATAW> entries;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") entries.push_back(entry);
  } while (FindNextFileW(find.get(), &entry));
  for (const WIN32_FIND_DATAW& found : entries) {
    const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    const std::wstring relative = prefix + found.cFileName + (folder ? L"\\" : L"");
    listing.push_back(relative + (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY ? L" (read-only)" : L""));
    if (folder && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) ListWide(base, relative, listing);
  }
}

}  // namespace

std::vector<std::wstring> WideListing(const std::wstring& base) {
  std::vector<std::wstring> listing;
  ListWide(base, L"", listing);
  std::sort(listing.begin(), listing.end());
  return listing;
}

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolders(const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string ReadWholeFile(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

Bytes AsBytes(const std::string& bytes) { return Bytes(bytes.begin(), bytes.end()); }
std::string AsString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

bool CopyFromBin(const std::string& name, const std::string& folder, const std::string& as) {
  return CopyFileA((BinFolder() + "\\" + name).c_str(), (folder + "\\" + (as.empty() ? name : as)).c_str(), FALSE);
}

void PumpMessagesFor(std::chrono::milliseconds duration) {
  auto deadline = std::chrono::steady_clock::now() + duration;
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < deadline);
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    PumpMessagesFor(std::chrono::milliseconds(10));
  }
}

ChildProcess::~ChildProcess() { Kill(); }

bool ChildProcess::Start(const std::string& commandLine, const std::string& currentFolder,
                         const std::vector<std::string>& extraEnvironment) {
  Kill();
  // The child gets this process's environment plus the extra entries.
  std::string block;
  if (!extraEnvironment.empty()) {
    char* env = GetEnvironmentStringsA();
    for (const char* p = env; *p; p += strlen(p) + 1) block.append(p).push_back('\0');
    FreeEnvironmentStringsA(env);
    for (const auto& e : extraEnvironment) block.append(e).push_back('\0');
    block.push_back('\0');
  }
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, block.empty() ? nullptr : block.data(),
                      currentFolder.empty() ? nullptr : currentFolder.c_str(), &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  process_.reset(pi.hProcess);
  id_ = pi.dwProcessId;
  return true;
}

bool ChildProcess::running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool ChildProcess::WaitForExit(DWORD& exitCode, std::chrono::milliseconds timeout) {
  if (!process_) return false;
  if (!WaitUntil([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }, timeout)) return false;
  return GetExitCodeProcess(process_.get(), &exitCode) != 0;
}

void ChildProcess::Kill() {
  if (running()) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
  }
  process_.reset();
  id_ = 0;
}

namespace {
struct WindowSearch {
  DWORD processId;
  const std::string* title;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  if (!search->title->empty()) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    if (Widen(*search->title) != text) return TRUE;
  }
  search->found = window;
  return FALSE;
}
}  // namespace

HWND WaitForProcessWindow(DWORD processId, const std::string& title, std::chrono::milliseconds timeout) {
  WindowSearch search{processId, &title, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeout);
  return search.found;
}

std::wstring Widen(const std::string& ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), n, nullptr, nullptr);
  return ansi;
}

std::optional<bool> DebugPrivilegeEnabled() {
  UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return std::nullopt;
  LUID debug{};
  if (!LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &debug)) return std::nullopt;
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
  std::string buffer(size, '\0');
  if (!GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size)) return std::nullopt;
  const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
  for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
    const LUID& id = privileges->Privileges[i].Luid;
    if (id.LowPart == debug.LowPart && id.HighPart == debug.HighPart)
      return (privileges->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) != 0;
  }
  return std::nullopt;
}

}  // namespace test

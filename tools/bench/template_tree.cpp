#include "template_tree.h"

#include <windows.h>

#include <array>
#include <vector>

#include "host/handles.h"

namespace {

// Folders of the tree, each made after its parent.
constexpr std::array<const char*, 10> kFolders = {
    "", "p1", "p1\\cache", "p1\\cache\\data", "p1\\code", "p1\\code\\js", "p1\\storage", "p1\\storage\\db", "p2", "p3"};

constexpr int kLargeFiles = 10;

bool WriteFileOfSize(const std::string& path, long long size, unsigned seed) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file) return false;
  std::vector<unsigned char> chunk(64 * 1024);
  unsigned state = seed * 2654435761u + 1;
  for (unsigned char& byte : chunk) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<unsigned char>(state >> 24);
  }
  for (long long left = size; left > 0;) {
    const DWORD part = static_cast<DWORD>(left < static_cast<long long>(chunk.size()) ? left : chunk.size());
    DWORD written = 0;
    if (!WriteFile(file.get(), chunk.data(), part, &written, nullptr) || written != part) return false;
    left -= part;
  }
  return true;
}

// Calls `visit` with the path and size of each file below `root`.
template <typename Visit>
void ForEachFile(const std::string& root, Visit&& visit) {
  WIN32_FIND_DATAA entry;
  UniqueFind find(FindFirstFileA((root + "\\*").c_str(), &entry));
  if (!find) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ForEachFile(root + "\\" + name, visit);
    else
      visit(root + "\\" + name, (static_cast<long long>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
  } while (FindNextFileA(find.get(), &entry));
}

}  // namespace

bool WriteTemplateTree(const std::string& root, int files, long long bytes) {
  for (const char* folder : kFolders) {
    const std::string path = *folder ? root + "\\" + folder : root;
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  // Small files of 1 to 96 KB; the large ones share what is left.
  const int small = files - kLargeFiles;
  std::vector<long long> sizes;
  long long smallBytes = 0;
  for (int i = 0; i < small; ++i) {
    sizes.push_back((i * 37 % 96 + 1) * 1024LL);
    smallBytes += sizes.back();
  }
  if (smallBytes >= bytes) return false;
  for (int i = 0; i < kLargeFiles; ++i)
    sizes.push_back((bytes - smallBytes) / kLargeFiles + (i == 0 ? (bytes - smallBytes) % kLargeFiles : 0));
  for (int i = 0; i < files; ++i) {
    const char* folder = kFolders[static_cast<std::size_t>(i) % kFolders.size()];
    const std::string path = root + (*folder ? "\\" + std::string(folder) : "") + "\\file" + std::to_string(i);
    if (!WriteFileOfSize(path, sizes[static_cast<std::size_t>(i)], static_cast<unsigned>(i))) return false;
  }
  return true;
}

TreeSize SizeOfTree(const std::string& root) {
  TreeSize size;
  ForEachFile(root, [&](const std::string&, long long bytes) {
    ++size.files;
    size.bytes += bytes;
  });
  return size;
}

bool EmptyEvery(const std::string& root, int step) {
  int seen = 0;
  bool emptied = true;
  ForEachFile(root, [&](const std::string& path, long long) {
    if (seen++ % step == 0) emptied = WriteFileOfSize(path, 0, 0) && emptied;
  });
  return emptied;
}

bool CopyTreeWithCopyFile(const std::wstring& source, const std::wstring& destination) {
  if (!CreateDirectoryW(destination.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  WIN32_FIND_DATAW entry;
  UniqueFind find(FindFirstFileW((source + L"\\*").c_str(), &entry));
  if (!find) return false;
  bool copied = true;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring from = source + L"\\" + name;
    const std::wstring to = destination + L"\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      copied = CopyTreeWithCopyFile(from, to) && copied;
    else
      copied = CopyFileW(from.c_str(), to.c_str(), FALSE) && copied;
  } while (FindNextFileW(find.get(), &entry));
  return copied;
}

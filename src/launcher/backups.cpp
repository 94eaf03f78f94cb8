#include "launcher/backups.h"

#include <windows.h>

#include <vector>

#include "host/files.h"
#include "host/handles.h"
#include "launcher/backup_names.h"

namespace {

BackupTime LocalTimeNow() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  return BackupTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

// The names of the files (not folders) in `folder` that may be backups.
std::vector<std::string> BackupCandidates(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  UniqueFind find(FindFirstFileA((folder + "\\config-*.ini").c_str(), &entry));
  if (!find) return names;
  do {
    if (!(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
      names.push_back(entry.cFileName);
  } while (FindNextFileA(find.get(), &entry));
  return names;
}

}  // namespace

void KeepBackup(const std::string& folder, const Bytes& replaced) {
  if (folder.empty()) return;
  CreateDirectoryA(folder.c_str(), nullptr);
  // What a copy cut off by a kill left behind.
  RemoveLeftoverTemporaryFiles(folder);
  // Two saves within one millisecond: the later one takes the next free
  // millisecond, so that every name keeps the pattern and its order.
  constexpr int kNamesTried = 1000;
  const BackupTime now = LocalTimeNow();
  BackupTime time = now;
  for (int tried = 0; tried < kNamesTried; ++tried, time = NextMillisecond(time)) {
    const std::string path = folder + "\\" + BackupName(time);
    if (WriteNewFileWhole(path, replaced)) break;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;  // not a taken name: given up
  }
  for (const std::string& name : BackupsToRemove(BackupCandidates(folder), now.year, now.month, now.day))
    DeleteFileA((folder + "\\" + name).c_str());
}

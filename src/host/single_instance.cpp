#include "host/single_instance.h"

#include <cstdint>
#include <cstring>

#include "host/code_page.h"
#include "host/window.h"

namespace {

using LockRecord = InstanceLockRecord;

LockRecord ThisProcessRecord() {
  LockRecord record = {};
  record.magic = kInstanceLockMagic;
  record.process = GetCurrentProcessId();
  DWORD session = 0;
  if (ProcessIdToSessionId(record.process, &session)) record.session = session;
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  GetComputerNameW(record.computer, &size);
  return record;
}

bool WriteRecord(HANDLE file, const LockRecord& record) {
  DWORD written = 0;
  return SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
         WriteFile(file, &record, sizeof record, &written, nullptr) && written == sizeof record &&
         FlushFileBuffers(file);
}

bool ReadRecord(const std::wstring& path, LockRecord& record) {
  // The holder writes to it and will delete it: both are let through.
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD got = 0;
  return file && ReadFile(file.get(), &record, sizeof record, &got, nullptr) && got == sizeof record &&
         record.magic == kInstanceLockMagic;
}

// The holder's main window when it can be reached from this session; 0
// while the holder has not shown it yet. False when it cannot be reached.
bool ReachableWindow(const LockRecord& record, HWND& window) {
  const LockRecord here = ThisProcessRecord();
  window = nullptr;
  if (record.session != here.session ||
      CompareStringOrdinal(record.computer, -1, here.computer, -1, TRUE) != CSTR_EQUAL)
    return false;
  if (record.window == 0) return true;
  window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(record.window));
  DWORD owner = 0;
  return IsWindow(window) && GetWindowThreadProcessId(window, &owner) && owner == record.process;
}

}  // namespace

ProgramInstance::ProgramInstance(const std::string& programFolder) {
  const std::wstring folder = WidenAnsi(programFolder);
  if (folder.empty()) return;
  lockPath_ = folder + L"\\" + kInstanceLockName;
  // No other opener may write or delete it while this copy runs; it is gone
  // as soon as the last handle closes, so a killed copy leaves none behind.
  lock_.reset(CreateFileW(lockPath_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (lock_) {
    WriteRecord(lock_.get(), ThisProcessRecord());
    return;
  }
  // A lock file that exists and cannot be had is held, whatever the reason
  // the system gives (another copy's sharing, or the rights of a copy that
  // runs as another user). None that could not be made means a folder that
  // cannot be written.
  second_ = GetFileAttributesW(lockPath_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ProgramInstance::Publish(HWND window) {
  if (!lock_) return;
  LockRecord record = ThisProcessRecord();
  record.window = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window));
  WriteRecord(lock_.get(), record);
}

bool ProgramInstance::BringFirstForward() {
  if (!second_) return false;
  constexpr int kAttempts = 100;
  constexpr DWORD kPauseMs = 50;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    LockRecord record = {};
    HWND window = nullptr;
    // A record not yet written, or not readable, may still come: the holder
    // writes it first thing.
    if (ReadRecord(lockPath_, record)) {
      if (!ReachableWindow(record, window)) return false;
      if (window) {
        RestoreAndBringToFront(window);
        return true;
      }
    }
    Sleep(kPauseMs);
  }
  return false;
}

#include "host/process.h"

#include <windows.h>

#include "host/handles.h"

namespace {

// wShowWindow for show modes 1..6.
constexpr WORD kShowWindow[] = {SW_HIDE,          SW_SHOWNORMAL,     SW_SHOWMINIMIZED,
                                SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE};

constexpr DWORD kIdleWaitMs = 1000;
// The access rights asked for, as the classic values (the headers' newer
// PROCESS_ALL_ACCESS is larger and refused on older systems).
constexpr DWORD kProcessAllAccess = 0x1F0FFF;
constexpr DWORD kTokenAllAccess = 0xF01FF;

WORD ShowWindowFor(std::optional<std::int32_t> showMode) {
  std::int32_t mode = showMode.value_or(2);
  if (mode > 6) mode = 6;
  if (mode < 1) mode = 1;
  return kShowWindow[mode - 1];
}

}  // namespace

namespace {

// The process and its first thread, or nothing when it cannot be created.
bool CreateFromLine(const std::string& commandLine, std::optional<std::int32_t> showMode, UniqueHandle& process) {
  if (commandLine.empty()) return false;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = ShowWindowFor(showMode);
  PROCESS_INFORMATION created{};
  // CreateProcessA may write into the line, so it gets a copy of its own.
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created))
    return false;
  process.reset(created.hProcess);
  const UniqueHandle thread(created.hThread);
  return true;
}

}  // namespace

bool RunProgram(const std::string& commandLine, bool waitForExit, std::optional<std::int32_t> showMode) {
  if (waitForExit) {
    UniqueHandle process;
    if (!CreateFromLine(commandLine, showMode, process)) return false;
    WaitForSingleObject(process.get(), INFINITE);
    return true;
  }
  return static_cast<bool>(StartProgram(commandLine, showMode));
}

UniqueHandle StartProgram(const std::string& commandLine, std::optional<std::int32_t> showMode) {
  UniqueHandle process;
  if (CreateFromLine(commandLine, showMode, process)) WaitForInputIdle(process.get(), kIdleWaitMs);
  return process;
}

bool EnableDebugPrivilege() {
  UniqueHandle process(OpenProcess(kProcessAllAccess, FALSE, GetCurrentProcessId()));
  if (!process) return false;
  UniqueHandle token;
  if (!OpenProcessToken(process.get(), kTokenAllAccess, token.put())) return false;
  TOKEN_PRIVILEGES privileges{};
  if (!LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &privileges.Privileges[0].Luid)) return false;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  return AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
}

DebugPrivilegeScope::DebugPrivilegeScope() {
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token_.put())) return;
  TOKEN_PRIVILEGES wanted = {};
  if (!LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &wanted.Privileges[0].Luid)) return;
  wanted.PrivilegeCount = 1;
  wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  DWORD size = 0;
  // The previous state lists only what the adjustment changed: nothing when
  // the privilege was enabled already or the token lacks it.
  if (!AdjustTokenPrivileges(token_.get(), FALSE, &wanted, sizeof previous_, &previous_, &size))
    previous_.PrivilegeCount = 0;
}

DebugPrivilegeScope::~DebugPrivilegeScope() {
  if (token_ && previous_.PrivilegeCount > 0)
    AdjustTokenPrivileges(token_.get(), FALSE, &previous_, 0, nullptr, nullptr);
}

bool StartProgramW(std::wstring commandLine) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  return true;
}

#pragma once
// Starting programs and the process's own privileges.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "host/handles.h"

// Starts the command line (no application name: the program is taken from the
// start of the line). Show modes 1..6 as in the table of the launcher: 1
// hidden, 2 normal (the default), 3 minimised, 4 maximised, 5 normal not
// activated, 6 minimised not activated; values outside are clamped. Waits for
// the process to end, or at most 1000 ms for it to become idle. False when it
// cannot be started; no handle stays open either way.
bool RunProgram(const std::string& commandLine, bool waitForExit, std::optional<std::int32_t> showMode = std::nullopt);

// The same without waiting for the end: starts the line, waits at most 1000 ms
// for the process to become idle and hands back its handle (empty when it
// could not be started), so that the caller can tell when it has ended.
UniqueHandle StartProgram(const std::string& commandLine, std::optional<std::int32_t> showMode = std::nullopt);

// Starts a wide command line shown normally, without waiting and without
// keeping its handles. False when it cannot be started.
bool StartProgramW(std::wstring commandLine);

// Enables SeDebugPrivilege in the process's token; the adjustment's result.
// It stays enabled, and every program started afterwards inherits it so.
bool EnableDebugPrivilege();

// SeDebugPrivilege enabled in the process's token for the life of the scope
// (when the token holds it), and put back as it was at the end, so that no
// program started later inherits it enabled. For opening another user's
// process; nothing else needs it.
class DebugPrivilegeScope {
 public:
  DebugPrivilegeScope();
  ~DebugPrivilegeScope();
  DebugPrivilegeScope(const DebugPrivilegeScope&) = delete;
  DebugPrivilegeScope& operator=(const DebugPrivilegeScope&) = delete;

 private:
  UniqueHandle token_;
  TOKEN_PRIVILEGES previous_ = {};  // the states that the scope changed
};

#include "host/folder_window.h"

#include <windows.h>

#include "host/code_page.h"
#include "host/process.h"

bool ShowFolderInExplorer(const std::string& folder) {
  wchar_t windows[MAX_PATH] = {};
  const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  return StartProgramW(L"\"" + std::wstring(windows, length) + L"\\explorer.exe\" \"" + WidenAnsi(folder) + L"\"");
}

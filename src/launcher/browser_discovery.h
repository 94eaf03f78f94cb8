#pragma once
// Where the browser is installed.

#include <string>

// The first of these that names an existing file: the registered icon
// location of the browser's page class; the App Paths entry of chrome.exe
// (current user, then the machine, each in both registry views); the open
// command of the browser's StartMenuInternet entry (current user, then the
// machine); chrome.exe in the usual Google\Chrome\Application folder under
// %LOCALAPPDATA%, %ProgramFiles% and %ProgramFiles(x86)%. When none does, the
// path the icon location holds, or "路径错误" when it cannot be read.
std::string FindBrowserPath();

#pragma once
// Finding windows of other programs and bringing them forward.

#include <windows.h>

#include <string>

// The first top-level window, in the system's order, whose title equals
// `title` (the platform's comparison); 0 when there is none.
HWND FindTopLevelWindow(const std::string& title);

// Asks the platform to make the window the foreground window; 0 does nothing.
void BringWindowToFront(HWND window);

// True when a browser is running on this profile folder: its marker window of
// class "Chrome_MessageWindow", titled with the folder's path, exists (as a
// message-only or a top-level window).
bool IsProfileInUse(const std::string& profileFolder);

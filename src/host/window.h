#pragma once
// Finding windows of other programs and bringing them forward.

#include <windows.h>

#include <string>
#include <vector>

// The window's title or text, in the ANSI code page; empty for none.
std::string WindowText(HWND window);

// The first top-level window, in the system's order, whose title equals
// `title` (the platform's comparison); 0 when there is none.
HWND FindTopLevelWindow(const std::string& title);

// Asks the platform to make the window the foreground window; 0 does nothing.
void BringWindowToFront(HWND window);

// Restores the window when it is minimised, then brings it to the front;
// neither waits for the program that owns it.
void RestoreAndBringToFront(HWND window);

// The marker window that a running browser keeps for each profile folder it
// serves: class "Chrome_MessageWindow", titled with the folder's full path
// (backslashes, no closing one), found case-insensitively, as a message-only
// or a top-level window. 0 when no browser runs on the folder.
HWND FindProfileMarker(const std::string& profileFolder);

// True when a browser is running on this profile folder (its marker exists);
// the folder may be written with a closing backslash.
bool IsProfileInUse(const std::string& profileFolder);

// The titles of all marker windows, each once per window, in no set order.
std::vector<std::string> ListProfileMarkers();

// The visible top-level window without owner of the process that owns
// `window`, highest in the z-order; 0 when it has none.
HWND FrontWindowOfSameProcess(HWND window);

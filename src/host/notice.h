#pragma once
// Telling the user something that must not go unnoticed, in a message box.

#include <windows.h>

#include <string>

// Shows `text` at once in a message box without an owner, titled with the
// program's name; returns when the user has closed it.
void TellUser(const std::wstring& text);

// Shows `text` in a message box owned by the top-level window of `window`, as
// soon as this thread's message loop runs: after the window is on screen,
// not in the middle of building it.
void TellUserWhenIdle(HWND window, const std::wstring& text);

// Asks a yes-or-no question at once in a message box owned by the top-level
// window of `window`, titled as the program's other boxes, Yes the default
// (Enter). True when the user chose Yes.
bool AskUser(HWND window, const std::wstring& text);

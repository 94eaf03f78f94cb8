#pragma once
// A hyperlink control: its caption on one line, centred, in the link colours;
// a press of the left button opens its web address.

#include <windows.h>

#include <string>

// The window class; registered on the first call. The address is passed as
// the creation parameter (a const wchar_t*), the caption as the window text.
const wchar_t* HyperlinkClass();

// True once the link's address has been opened.
bool HyperlinkOpened(HWND link);

// Opens a web address through the shell's "open" verb; when the shell fails,
// through the command registered for .htm pages. True when it was started.
bool OpenWebAddress(const std::wstring& address);

// The command line of the registered .htm command for an address: the
// command cut at its "%1" placeholder (dropping the quote that opened it),
// then a space and the address.
std::wstring BrowserCommandFor(const std::wstring& registered, const std::wstring& address);

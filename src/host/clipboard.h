#pragma once
// The clipboard's Unicode text (CF_UNICODETEXT), read and written as a whole.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// True when the clipboard holds text (the system makes Unicode text of any
// text format).
bool ClipboardHasText();

// The clipboard's text up to its first NUL; none when it holds no text or
// cannot be opened (another program holds it longer than a moment).
std::optional<std::wstring> ClipboardText(HWND owner);

// Replaces the clipboard's content with the text, owned by `owner`. False when
// the clipboard cannot be opened or the memory for the text cannot be had
// (the clipboard is then left as it was), or when the system refused the
// text after the clipboard was emptied.
bool SetClipboardText(HWND owner, std::wstring_view text);

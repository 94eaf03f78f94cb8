#pragma once
// The clipboard's Unicode text, from the test's own process, through the
// real OpenClipboard.

#include <optional>
#include <string>

namespace test {

// Replaces the clipboard's content with the text; false when it could not.
bool PutClipboardText(const std::wstring& text);
// The clipboard's text; none when it holds no text or could not be opened.
std::optional<std::wstring> ClipboardText();

}  // namespace test

#include "clipboard_text.h"

#include <windows.h>

#include <chrono>

#include "win_test_support.h"

namespace test {

namespace {

// The program may hold the clipboard for a moment.
bool OpenTheClipboard() {
  return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, std::chrono::seconds(5));
}

}  // namespace

bool PutClipboardText(const std::wstring& text) {
  if (!OpenTheClipboard()) return false;
  bool put = false;
  if (EmptyClipboard()) {
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
      if (auto* data = static_cast<wchar_t*>(GlobalLock(memory))) {
        text.copy(data, text.size());
        data[text.size()] = L'\0';
        GlobalUnlock(memory);
        put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      }
      if (!put) GlobalFree(memory);
    }
  }
  CloseClipboard();
  return put;
}

std::optional<std::wstring> ClipboardText() {
  if (!OpenTheClipboard()) return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* data = static_cast<const wchar_t*>(GlobalLock(memory))) {
      text = std::wstring(data);
      GlobalUnlock(memory);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace test

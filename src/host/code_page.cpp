#include "host/code_page.h"

#include <windows.h>

bool IsAnsiLeadByte(std::uint8_t byte) { return IsDBCSLeadByteEx(CP_ACP, byte) != FALSE; }

std::string UpperCaseAnsi(std::string_view text) {
  std::string upper(text);
  if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

std::wstring WidenAnsi(std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

bool NarrowToAnsi(std::wstring_view text, std::string& ansi) {
  ansi.clear();
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  const int bytes =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return false;
  ansi.resize(static_cast<std::size_t>(bytes));
  BOOL lossy = FALSE;
  if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, ansi.data(), bytes, nullptr, &lossy) !=
          bytes ||
      lossy) {
    ansi.clear();
    return false;
  }
  return true;
}

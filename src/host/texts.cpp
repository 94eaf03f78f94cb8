#include "host/texts.h"

#include <windows.h>

#include "host/text.h"

std::wstring ProgramText(unsigned id) {
  // With no buffer, LoadStringW hands out the table's own read-only copy.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

std::wstring ProgramText(unsigned id, std::initializer_list<std::wstring_view> args) {
  return FillPlaceholders(ProgramText(id), args);
}

std::string ProgramTextAnsi(unsigned id) {
  const std::wstring text = ProgramText(id);
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string ansi(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, ansi.data(), bytes, nullptr, nullptr);
  return ansi;
}

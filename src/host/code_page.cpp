#include "host/code_page.h"

#include <windows.h>

bool IsAnsiLeadByte(std::uint8_t byte) { return IsDBCSLeadByteEx(CP_ACP, byte) != FALSE; }

std::string UpperCaseAnsi(std::string_view text) {
  std::string upper(text);
  if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

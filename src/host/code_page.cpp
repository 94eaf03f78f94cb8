#include "host/code_page.h"

#include <windows.h>

bool IsAnsiLeadByte(std::uint8_t byte) { return IsDBCSLeadByteEx(CP_ACP, byte) != FALSE; }

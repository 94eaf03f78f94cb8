#pragma once
// The double-byte rule of the system's ANSI code page, the one every byte walk
// of the program uses (paths, account names, registry paths).

#include <cstdint>

// True when the byte starts a two-byte character of the ANSI code page
// (IsDBCSLeadByteEx with CP_ACP). Never true on a single-byte code page such
// as 1252, where every byte is a character of its own.
bool IsAnsiLeadByte(std::uint8_t byte);

#include <string>
#include <string_view>

// The text in upper case by the ANSI code page's rules (CharUpperBuffA), for
// comparing paths the way the system does: without regard to case.
std::string UpperCaseAnsi(std::string_view text);

// The wide text of an ANSI text (double-byte aware); empty for an empty text.
std::wstring WidenAnsi(std::string_view text);

// The ANSI text of a wide text. False, with `ansi` empty, when the code page
// cannot spell a character of it (no best-fit look-alikes are taken).
bool NarrowToAnsi(std::wstring_view text, std::string& ansi);

#pragma once
// Text helpers. Texts are ANSI bytes; every length and count is in bytes.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "host/bytes.h"

std::size_t TextLength(std::string_view text);

// The first `count` bytes; the whole text when count >= its length, the empty
// text when count <= 0. The cut is made at a byte, even inside a double-byte
// character.
std::string TextLeft(std::string_view text, std::int64_t count);

// "%d": a minus sign for negative values, no leading zeros or blanks.
std::string ToText(std::int32_t value);

// An integer gives its 4 bytes, least significant first; a text its bytes
// without a closing zero.
Bytes ToBytes(std::int32_t value);
Bytes ToBytes(std::string_view text);

std::string JoinTexts(std::initializer_list<std::string_view> parts);

bool TextEquals(std::string_view a, std::string_view b);

// True when `byte` starts a two-byte character of code page 936 (GBK): its
// second byte may be any value from 0x40 up, a backslash included.
bool IsGbkLeadByte(std::uint8_t byte);

// The double-byte rule of a code page: true when the byte starts a two-byte
// character. On Windows the program passes the system ANSI code page's rule
// (host/code_page.h); every byte walk over a path or a name takes one.
using LeadByteRule = bool (*)(std::uint8_t byte);

// The position after the character that starts at `at`: two bytes on for a
// lead byte that has a byte after it, else one.
std::size_t NextCharacter(std::string_view text, std::size_t at, LeadByteRule isLead);

// The position of the last `wanted` byte that is a character of its own (not
// the second byte of a double-byte character); npos when there is none.
std::size_t FindLastCharacter(std::string_view text, char wanted, LeadByteRule isLead);

// `pattern` with %1 .. %9 replaced by the arguments in order and "%%" by one
// "%"; a placeholder without its argument, or any other "%", stays as it is.
std::wstring FillPlaceholders(std::wstring_view pattern, std::initializer_list<std::wstring_view> args);

#pragma once
// Byte strings and texts as the whole program passes them around.
//
// A text is a std::string of bytes in the ANSI code page (GBK on the users'
// machines); lengths and cuts are in bytes. A byte string is Bytes.

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

#pragma once
// Cipher of the stored account list.

#include <cstdint>
#include <string_view>

#include "host/bytes.h"

// The only algorithm the program uses: RC4 keyed with the password's bytes.
inline constexpr std::int32_t kRc4Algorithm = 2;

// Both return a new byte string of the data's length; an empty one when the
// data is empty, memory cannot be had, or the algorithm is not RC4.
Bytes EncryptData(const Bytes& data, std::string_view password, std::int32_t algorithm);
Bytes DecryptData(const Bytes& data, std::string_view password, std::int32_t algorithm);

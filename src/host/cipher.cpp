#include "host/cipher.h"

#include <array>
#include <new>
#include <utility>

namespace {

// RC4 with a fresh state per call, so encrypting and decrypting are the same
// function and nothing carries over between calls.
Bytes Rc4(const Bytes& data, std::string_view password) {
  if (data.empty()) return {};

  // The key is the password up to its terminating zero, as a C text would be.
  const std::string_view key = password.substr(0, password.find('\0'));

  std::array<std::uint8_t, 256> s;
  for (std::size_t x = 0; x < s.size(); ++x) s[x] = static_cast<std::uint8_t>(x);
  // An empty key leaves the identity permutation rather than failing.
  if (!key.empty()) {
    std::uint8_t j = 0;
    std::size_t k = 0;
    for (std::size_t x = 0; x < s.size(); ++x) {
      j = static_cast<std::uint8_t>(j + s[x] + static_cast<std::uint8_t>(key[k]));
      std::swap(s[x], s[j]);
      k = (k + 1) % key.size();
    }
  }

  Bytes out;
  try {
    out = data;
  } catch (const std::bad_alloc&) {
    return {};
  }

  std::uint8_t i = 0;
  std::uint8_t j = 0;
  for (std::uint8_t& b : out) {
    i = static_cast<std::uint8_t>(i + 1);
    j = static_cast<std::uint8_t>(j + s[i]);
    std::swap(s[i], s[j]);
    b ^= s[static_cast<std::uint8_t>(s[i] + s[j])];
  }
  return out;
}

Bytes Apply(const Bytes& data, std::string_view password, std::int32_t algorithm) {
  if (algorithm != kRc4Algorithm) return {};
  return Rc4(data, password);
}

}  // namespace

Bytes EncryptData(const Bytes& data, std::string_view password, std::int32_t algorithm) {
  return Apply(data, password, algorithm);
}

Bytes DecryptData(const Bytes& data, std::string_view password, std::int32_t algorithm) {
  return Apply(data, password, algorithm);
}

#include "launcher/stored_version.h"

std::uint64_t DigestOf(const Bytes& bytes) {
  std::uint64_t digest = 0xcbf29ce484222325ull;
  for (const std::uint8_t byte : bytes) {
    digest ^= byte;
    digest *= 0x100000001b3ull;
  }
  return digest;
}

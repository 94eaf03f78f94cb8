#pragma once
// Which file config.ini was when this run last loaded or stored it: another
// program may replace it between two saves, and a save must not overwrite
// that silently.

#include <cstdint>

#include "host/bytes.h"

struct StoredVersion {
  bool exists = false;          // no file at all counts as a version too
  std::uint64_t size = 0;       // bytes
  std::uint64_t lastWrite = 0;  // the file's last write time (FILETIME ticks)
  std::uint64_t digest = 0;     // DigestOf the bytes

  bool operator==(const StoredVersion&) const = default;
};

// A 64-bit FNV-1a digest: not a guard against forgery, only a cheap way to
// tell whether the bytes changed when their size and time did not.
std::uint64_t DigestOf(const Bytes& bytes);

#pragma once
// Numbered in-memory files: growable byte buffers with a current position.

#include <cstdint>

#include "host/bytes.h"

enum SeekOrigin : std::int32_t { kSeekStart = 1, kSeekEnd = 2, kSeekCurrent = 3 };

// A new empty memory file at position 0. Its number is never 0 and is not
// given to another file while it is open; 0 means memory could not be had.
std::int32_t OpenMemoryFile();

// Inserts at the current position, moving later bytes back, and leaves the
// position after the inserted bytes. False for a number that names no file.
bool InsertFileBytes(std::int32_t file, const Bytes& data);

// Any origin other than 1, 2, 3 does nothing and gives false; so does a
// resulting position outside 0..length.
bool SeekFile(std::int32_t file, std::int32_t origin, std::int64_t offset);

// The length in bytes, -1 for a number that names no open file.
std::int64_t FileLength(std::int32_t file);

// Up to `count` bytes from the current position, which advances past them;
// empty when count <= 0.
Bytes ReadFileRange(std::int32_t file, std::int64_t count);

void CloseFile(std::int32_t file);

// Closes its memory file when it goes out of scope.
class MemoryFileScope {
 public:
  MemoryFileScope() : file_(OpenMemoryFile()) {}
  ~MemoryFileScope() { CloseFile(file_); }
  MemoryFileScope(const MemoryFileScope&) = delete;
  MemoryFileScope& operator=(const MemoryFileScope&) = delete;
  std::int32_t get() const { return file_; }

 private:
  std::int32_t file_;
};

#include "host/memory_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <new>
#include <stdexcept>

namespace {

constexpr std::size_t kGrowthStep = 1024;
constexpr std::size_t kMoveChunk = 4096;

struct MemoryFile {
  Bytes storage;           // its size is the capacity, a multiple of kGrowthStep
  std::size_t length = 0;  // bytes in use
  std::size_t position = 0;
};

// All open memory files by number. Only the user-interface thread uses them.
std::map<std::int32_t, MemoryFile>& OpenFiles() {
  static std::map<std::int32_t, MemoryFile> files;
  return files;
}

MemoryFile* Find(std::int32_t file) {
  auto& files = OpenFiles();
  const auto found = files.find(file);
  return found == files.end() ? nullptr : &found->second;
}

// Makes room for `needed` bytes. The capacity stays a multiple of the growth
// step but at least doubles, so building a list record by record stays linear.
bool Reserve(MemoryFile& file, std::size_t needed) {
  if (needed <= file.storage.size()) return true;
  std::size_t capacity = std::max(needed, file.storage.size() * 2);
  capacity = (capacity + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
  try {
    file.storage.resize(capacity);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

}  // namespace

std::int32_t OpenMemoryFile() {
  static std::int32_t last = 0;
  auto& files = OpenFiles();
  // Numbers count up, skip 0 and negative ones, and never repeat one in use.
  do {
    last = last == INT32_MAX ? 1 : last + 1;
  } while (files.count(last) != 0);
  try {
    files.emplace(last, MemoryFile{});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return last;
}

bool InsertFileBytes(std::int32_t number, const Bytes& data) {
  MemoryFile* file = Find(number);
  if (file == nullptr) return false;
  if (data.empty()) return true;
  if (data.size() > SIZE_MAX - file->length) return false;
  if (!Reserve(*file, file->length + data.size())) return false;

  std::uint8_t* bytes = file->storage.data();
  const std::size_t p = file->position;
  // Move the tail back by the inserted length, the last chunk first, so no
  // byte is overwritten before it has been moved.
  std::size_t end = file->length;
  while (end > p) {
    const std::size_t chunk = std::min(kMoveChunk, end - p);
    const std::size_t start = end - chunk;
    std::memmove(bytes + start + data.size(), bytes + start, chunk);
    end = start;
  }
  std::memcpy(bytes + p, data.data(), data.size());
  file->length += data.size();
  file->position = p + data.size();
  return true;
}

bool SeekFile(std::int32_t number, std::int32_t origin, std::int64_t offset) {
  MemoryFile* file = Find(number);
  if (file == nullptr) return false;
  std::int64_t base = 0;
  switch (origin) {
    case kSeekStart:
      base = 0;
      break;
    case kSeekEnd:
      base = static_cast<std::int64_t>(file->length);
      break;
    case kSeekCurrent:
      base = static_cast<std::int64_t>(file->position);
      break;
    default:
      return false;
  }
  std::int64_t target = 0;
  if (__builtin_add_overflow(base, offset, &target)) return false;
  if (target < 0 || static_cast<std::uint64_t>(target) > file->length) return false;
  file->position = static_cast<std::size_t>(target);
  return true;
}

std::int64_t FileLength(std::int32_t number) {
  const MemoryFile* file = Find(number);
  return file == nullptr ? -1 : static_cast<std::int64_t>(file->length);
}

Bytes ReadFileRange(std::int32_t number, std::int64_t count) {
  MemoryFile* file = Find(number);
  if (file == nullptr || count <= 0) return {};
  const std::size_t available = file->length - file->position;
  const std::size_t take = static_cast<std::uint64_t>(count) < available ? static_cast<std::size_t>(count) : available;
  const auto first = file->storage.begin() + static_cast<std::ptrdiff_t>(file->position);
  Bytes out;
  try {
    out.assign(first, first + static_cast<std::ptrdiff_t>(take));
  } catch (const std::bad_alloc&) {
    return {};
  }
  file->position += take;
  return out;
}

void CloseFile(std::int32_t number) { OpenFiles().erase(number); }

#pragma once
// Memory that the process owning a window can address: on the NT family it is
// allocated inside that process; on the older families it is a paging-file
// mapping, which those systems show at the same address in every process.

#include <windows.h>

#include "host/handles.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class RemoteMemory {
 public:
  // Reports GetVersionExA's dwPlatformId; replaceable so both paths can be exercised.
  using PlatformIdReader = DWORD (*)();
  static DWORD ReadPlatformId();

  // processAccess: the rights OpenWindowProcess asks for.
  explicit RemoteMemory(PlatformIdReader readPlatformId = &ReadPlatformId, DWORD processAccess = PROCESS_ALL_ACCESS);
  ~RemoteMemory();
  RemoteMemory(RemoteMemory&& other) noexcept;
  RemoteMemory& operator=(RemoteMemory&& other) noexcept;
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  // Releases the mappings still held (the destructor does too).
  void ReleaseMappings();
  // The process that owns the window, empty when it cannot be opened.
  UniqueHandle OpenWindowProcess(HWND window) const;
  bool Write(HANDLE process, void* address, const void* source, std::size_t size);
  // An address the other process can use, 0 on failure.
  void* Allocate(HANDLE process, std::size_t size);
  // Unknown addresses are ignored.
  void Free(HANDLE process, void* address);
  // Exactly size bytes, zero-filled where the read fails.
  std::string Read(HANDLE process, const void* address, std::size_t size);

  // The family code read at the last Allocate: 1 Win32s, 2 Windows 95 family, 3 NT family, 0 other.
  std::int32_t Platform() const { return platform_; }
  // Blocks allocated and not yet freed, on either path.
  std::size_t LiveAllocations() const { return live_; }
  std::size_t MappingCount() const { return mappings_.size(); }

  // Told of every block placed or freed and every write and read, so that an
  // exchange's traffic with the other process can be checked.
  enum class Event { kAllocated, kFreed, kWritten, kRead };
  using Observer = std::function<void(Event event, const void* address, std::size_t size)>;
  void SetObserver(Observer observer) { observer_ = std::move(observer); }

 private:
  struct Mapping {
    UniqueHandle mapping;
    UniqueMappedView view;
  };
  void Notify(Event event, const void* address, std::size_t size) const {
    if (observer_) observer_(event, address, size);
  }

  std::int32_t platform_ = 0;
  std::vector<Mapping> mappings_;
  PlatformIdReader readPlatformId_;
  DWORD processAccess_;
  std::size_t live_ = 0;
  Observer observer_;
};

// One block of RemoteMemory, freed when it goes out of scope, so that every
// exchange frees what it allocated on every path out of it.
class RemoteBlock {
 public:
  RemoteBlock() = default;
  RemoteBlock(RemoteMemory& memory, HANDLE process, std::size_t size)
      : memory_(&memory), process_(process), address_(memory.Allocate(process, size)), size_(size) {}
  ~RemoteBlock() { Reset(); }
  RemoteBlock(RemoteBlock&& other) noexcept
      : memory_(other.memory_),
        process_(other.process_),
        address_(std::exchange(other.address_, nullptr)),
        size_(other.size_) {}
  RemoteBlock& operator=(RemoteBlock&& other) noexcept {
    if (this != &other) {
      Reset();
      memory_ = other.memory_;
      process_ = other.process_;
      address_ = std::exchange(other.address_, nullptr);
      size_ = other.size_;
    }
    return *this;
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;

  explicit operator bool() const { return address_ != nullptr; }
  void* Address() const { return address_; }
  std::size_t Size() const { return size_; }
  bool Write(const void* source, std::size_t size) { return memory_->Write(process_, address_, source, size); }
  std::string Read() { return memory_->Read(process_, address_, size_); }
  void Reset() {
    if (address_) memory_->Free(process_, std::exchange(address_, nullptr));
  }

 private:
  RemoteMemory* memory_ = nullptr;
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  std::size_t size_ = 0;
};

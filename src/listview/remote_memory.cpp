#include "listview/remote_memory.h"

#include <algorithm>

#include "host/process.h"

namespace {

std::int32_t FamilyOf(DWORD platformId) {
  switch (platformId) {
    case VER_PLATFORM_WIN32s:
      return 1;
    case VER_PLATFORM_WIN32_WINDOWS:
      return 2;
    case VER_PLATFORM_WIN32_NT:
      return 3;
    default:
      return 0;
  }
}

}  // namespace

DWORD RemoteMemory::ReadPlatformId() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  // Deprecated but still answering; the platform id is all that is asked.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&info)) return 0xFFFFFFFF;
#pragma GCC diagnostic pop
  return info.dwPlatformId;
}

RemoteMemory::RemoteMemory(PlatformIdReader readPlatformId, DWORD processAccess)
    : readPlatformId_(readPlatformId ? readPlatformId : &ReadPlatformId), processAccess_(processAccess) {}

RemoteMemory::~RemoteMemory() { ReleaseMappings(); }

RemoteMemory::RemoteMemory(RemoteMemory&& other) noexcept
    : platform_(other.platform_),
      mappings_(std::move(other.mappings_)),
      readPlatformId_(other.readPlatformId_),
      processAccess_(other.processAccess_),
      live_(std::exchange(other.live_, 0)),
      observer_(std::move(other.observer_)) {}

RemoteMemory& RemoteMemory::operator=(RemoteMemory&& other) noexcept {
  if (this != &other) {
    ReleaseMappings();
    platform_ = other.platform_;
    mappings_ = std::move(other.mappings_);
    readPlatformId_ = other.readPlatformId_;
    processAccess_ = other.processAccess_;
    live_ = std::exchange(other.live_, 0);
    observer_ = std::move(other.observer_);
  }
  return *this;
}

void RemoteMemory::ReleaseMappings() {
  for (const Mapping& m : mappings_) Notify(Event::kFreed, m.view.get(), 0);
  live_ -= std::min(live_, mappings_.size());
  mappings_.clear();
}

UniqueHandle RemoteMemory::OpenWindowProcess(HWND window) const {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (processId == ::GetCurrentProcessId()) return UniqueHandle(::OpenProcess(processAccess_, FALSE, processId));
  // Another user's process (an elevated one among them) opens only with the
  // debug privilege; it is enabled just for the opening, so that no program
  // started later inherits it.
  const DebugPrivilegeScope privilege;
  return UniqueHandle(::OpenProcess(processAccess_, FALSE, processId));
}

bool RemoteMemory::Write(HANDLE process, void* address, const void* source, std::size_t size) {
  Notify(Event::kWritten, address, size);
  return ::WriteProcessMemory(process, address, source, size, nullptr) != FALSE;
}

void* RemoteMemory::Allocate(HANDLE process, std::size_t size) {
  platform_ = FamilyOf(readPlatformId_());
  if (platform_ == 3) {
    void* address = ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (address) {
      ++live_;
      Notify(Event::kAllocated, address, size);
    }
    return address;
  }
  // The older families: a paging-file mapping, seen at the same address by
  // every process. Sizes beyond 32 bits cannot be mapped there.
  if (size > 0xFFFFFFFFu) return nullptr;
  UniqueHandle mapping(
      ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size), ""));
  if (!mapping) return nullptr;
  UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!view) return nullptr;
  void* address = view.get();
  mappings_.push_back({std::move(mapping), std::move(view)});
  ++live_;
  Notify(Event::kAllocated, address, size);
  return address;
}

void RemoteMemory::Free(HANDLE process, void* address) {
  if (platform_ == 3) {
    if (!::VirtualFreeEx(process, address, 0, MEM_RELEASE)) return;
    if (live_ > 0) --live_;
    Notify(Event::kFreed, address, 0);
    return;
  }
  auto found =
      std::find_if(mappings_.begin(), mappings_.end(), [&](const Mapping& m) { return m.view.get() == address; });
  if (found == mappings_.end()) return;
  mappings_.erase(found);
  if (live_ > 0) --live_;
  Notify(Event::kFreed, address, 0);
}

std::string RemoteMemory::Read(HANDLE process, const void* address, std::size_t size) {
  Notify(Event::kRead, address, size);
  std::string buffer(size, '\0');
  if (!::ReadProcessMemory(process, address, buffer.data(), size, nullptr)) {
    // A partial read may have left bytes behind: a failed read yields zeros only.
    std::fill(buffer.begin(), buffer.end(), '\0');
  }
  return buffer;
}

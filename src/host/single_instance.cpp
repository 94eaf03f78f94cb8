#include "host/single_instance.h"

#include <cstdint>

namespace {

// What the holding copy shares with later ones.
struct SharedState {
  volatile LONG64 window;  // its main window, 0 until it is shown
};

// The folder's full long path in capitals, so that the same folder gives the
// same name however it was spelt when the program was started.
std::wstring FolderKey(const std::string& folder) {
  const int length = MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide.data(), length);
  std::wstring full(32768, L'\0');
  DWORD got = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (got == 0 || got >= full.size()) return {};
  full.resize(got);
  std::wstring longer(32768, L'\0');
  got = GetLongPathNameW(full.c_str(), longer.data(), static_cast<DWORD>(longer.size()));
  if (got > 0 && got < longer.size()) full.assign(longer.c_str(), got);
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  return full;
}

// A kernel object name may not hold backslashes and is bounded in length: the
// key enters it as a 64-bit FNV-1a digest.
std::wstring ObjectName(const std::wstring& key) {
  std::uint64_t hash = 14695981039346656037ull;
  for (wchar_t unit : key) {
    hash ^= static_cast<std::uint16_t>(unit);
    hash *= 1099511628211ull;
  }
  // Sixteen lower-case hex digits, written out here rather than by swprintf,
  // which would bring a whole wide printf into the program.
  std::wstring name = L"Local\\KestrunLauncher.";
  for (int shift = 60; shift >= 0; shift -= 4) name += L"0123456789abcdef"[(hash >> shift) & 0xF];
  return name;
}

}  // namespace

ProgramInstance::ProgramInstance(const std::string& programFolder) {
  const std::wstring key = FolderKey(programFolder);
  if (key.empty()) return;
  mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedState),
                                    ObjectName(key).c_str()));
  if (!mapping_) return;
  second_ = GetLastError() == ERROR_ALREADY_EXISTS;
  view_ = MapViewOfFile(mapping_.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedState));
}

ProgramInstance::~ProgramInstance() {
  if (view_) UnmapViewOfFile(view_);
}

void ProgramInstance::Publish(HWND window) {
  if (view_ == nullptr || second_) return;
  InterlockedExchange64(&static_cast<SharedState*>(view_)->window,
                        static_cast<LONG64>(reinterpret_cast<std::uintptr_t>(window)));
}

void ProgramInstance::BringFirstForward() {
  if (view_ == nullptr) return;
  constexpr int kAttempts = 100;
  constexpr DWORD kPauseMs = 50;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const LONG64 value = InterlockedCompareExchange64(&static_cast<SharedState*>(view_)->window, 0, 0);
    const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
    if (window != nullptr && IsWindow(window)) {
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
      SetForegroundWindow(window);
      return;
    }
    Sleep(kPauseMs);
  }
}

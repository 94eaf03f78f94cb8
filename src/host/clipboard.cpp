#include "host/clipboard.h"

#include <cstring>

#include "host/handles.h"

namespace {

// The clipboard open for one scope. Another program may hold it for a
// moment (a clipboard viewer reading what was just put there): a few short
// tries, never a long wait.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    for (int tries = 0; tries < 10 && !open_; ++tries) {
      open_ = ::OpenClipboard(owner) != FALSE;
      if (!open_) ::Sleep(10);
    }
  }
  ~OpenedClipboard() {
    if (open_) ::CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

// Global memory locked for one scope.
class LockedMemory {
 public:
  explicit LockedMemory(HGLOBAL memory) : memory_(memory), data_(memory ? ::GlobalLock(memory) : nullptr) {}
  ~LockedMemory() {
    if (data_) ::GlobalUnlock(memory_);
  }
  LockedMemory(const LockedMemory&) = delete;
  LockedMemory& operator=(const LockedMemory&) = delete;
  void* data() const { return data_; }

 private:
  HGLOBAL memory_;
  void* data_;
};

}  // namespace

bool ClipboardHasText() { return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

std::optional<std::wstring> ClipboardText(HWND owner) {
  if (!ClipboardHasText()) return std::nullopt;
  const OpenedClipboard clipboard(owner);
  if (!clipboard) return std::nullopt;
  // The clipboard keeps the memory: it is only looked at.
  const HANDLE memory = ::GetClipboardData(CF_UNICODETEXT);
  const LockedMemory locked(memory);
  if (locked.data() == nullptr) return std::nullopt;
  // The text ends at its NUL, or at the block's end if it lacks one.
  const auto* text = static_cast<const wchar_t*>(locked.data());
  const std::size_t units = ::GlobalSize(memory) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < units && text[length] != L'\0') ++length;
  return std::wstring(text, length);
}

bool SetClipboardText(HWND owner, std::wstring_view text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  UniqueGlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
  {
    const LockedMemory locked(memory.get());
    if (locked.data() == nullptr) return false;
    std::memcpy(locked.data(), text.data(), text.size() * sizeof(wchar_t));
    static_cast<wchar_t*>(locked.data())[text.size()] = L'\0';
  }
  const OpenedClipboard clipboard(owner);
  if (!clipboard || !::EmptyClipboard()) return false;
  if (!::SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
  memory.release();  // the clipboard's now
  return true;
}

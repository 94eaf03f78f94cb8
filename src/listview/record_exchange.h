#pragma once
// Carries a list-view record, and the text it points at, to the control and
// back. Local mode: the record and texts are passed by their own addresses.
// Remote mode: they are copied into the process that owns the control, and
// every block placed there is freed when its carrier goes out of scope.
// When a block cannot be placed its carrier is not Ready: the operation then
// returns its failure value and sends nothing (never a record at address 0).

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/list_view.h"
#include "listview/remote_memory.h"

// The bytes of each record that travel: the platform's ANSI records up to the
// last field this class uses, at the build's native field sizes.
template <typename Record>
inline constexpr std::size_t kRecordSize = sizeof(Record);
template <>
inline constexpr std::size_t kRecordSize<LVITEMA> = offsetof(LVITEMA, iIndent) + sizeof(int);
template <>
inline constexpr std::size_t kRecordSize<LVCOLUMNA> = offsetof(LVCOLUMNA, iOrder) + sizeof(int);
template <>
inline constexpr std::size_t kRecordSize<LVFINDINFOA> = offsetof(LVFINDINFOA, vkDirection);
template <>
inline constexpr std::size_t kRecordSize<LVBKIMAGEA> = offsetof(LVBKIMAGEA, yOffsetPercent) + sizeof(int);

#if !defined(_WIN64)
static_assert(kRecordSize<LVITEMA> == 40, "item record: mask .. iIndent");
static_assert(kRecordSize<LVCOLUMNA> == 32, "column record: mask .. iOrder");
static_assert(kRecordSize<LVFINDINFOA> == 20, "find record: flags, psz, lParam, pt");
static_assert(kRecordSize<LVBKIMAGEA> == 24, "background record: ulFlags .. yOffsetPercent");
#endif

// The control and where its records go. Small, and copied into every carrier
// so that none outlives it.
struct ControlLink {
  HWND window;
  bool remote;
  RemoteMemory& memory;
  HANDLE process;
};

// A buffer of fixed capacity that the control writes a text into.
class TextBuffer {
 public:
  TextBuffer(const ControlLink& link, std::size_t capacity);
  // False when the buffer could not be placed; nothing may be sent then.
  bool Ready() const;
  char* Address() const;
  // The buffer's text up to its first NUL, at most capacity - 1 bytes.
  std::string Text();

 private:
  ControlLink link_;
  std::vector<char> local_;
  RemoteBlock remote_;
};

// A text handed to the control, NUL included (an empty text takes one byte).
class PassedText {
 public:
  PassedText(const ControlLink& link, const std::string& text);
  bool Ready() const;
  char* Address() const;
  // Its length + 1.
  int Capacity() const { return static_cast<int>(text_.size() + 1); }

 private:
  ControlLink link_;
  std::string text_;
  RemoteBlock remote_;
};

// One zero-filled record, placed where the control can reach it.
template <typename Record>
class CarriedRecord {
 public:
  explicit CarriedRecord(const ControlLink& link) : link_(link) {
    if (link_.remote) remote_ = RemoteBlock(link_.memory, link_.process, kRecordSize<Record>);
  }
  bool Ready() const { return !link_.remote || static_cast<bool>(remote_); }
  Record& operator*() { return record_; }
  Record* operator->() { return &record_; }

  // Sends message with lParam = the record's address where the control lives.
  LRESULT Send(UINT message, WPARAM wParam) {
    if (!link_.remote) return ::SendMessageA(link_.window, message, wParam, reinterpret_cast<LPARAM>(&record_));
    remote_.Write(&record_, kRecordSize<Record>);
    return ::SendMessageA(link_.window, message, wParam, reinterpret_cast<LPARAM>(remote_.Address()));
  }
  // Brings back the fields the control wrote (remote mode: the whole record; a
  // failed read gives zero fields).
  void ReadBack() {
    if (!link_.remote) return;
    const std::string bytes = remote_.Read();
    std::memcpy(&record_, bytes.data(), kRecordSize<Record>);
  }

 private:
  ControlLink link_;
  Record record_{};
  RemoteBlock remote_;
};

// One item record sent by the item messages. In this process it goes through
// the ListView wrapper, as every list of this program sends its items; in the
// other process it is carried there first.
class ItemExchange {
 public:
  explicit ItemExchange(const ControlLink& link) : list_(link.window), remote_(link.remote), carried_(link) {}
  bool Ready() const { return carried_.Ready(); }
  LVITEMA& operator*() { return *carried_; }
  LVITEMA* operator->() { return &*carried_; }

  bool Get() { return remote_ ? carried_.Send(LVM_GETITEMA, 0) != 0 : list_.GetItem(*carried_); }
  bool Set() { return remote_ ? carried_.Send(LVM_SETITEMA, 0) != 0 : list_.SetItem(*carried_); }
  // The index of the new row, -1 when the list refused it.
  std::int32_t Insert() {
    return remote_ ? static_cast<std::int32_t>(carried_.Send(LVM_INSERTITEMA, 0)) : list_.InsertItem(*carried_);
  }
  bool SetState(std::int32_t row) {
    return remote_ ? carried_.Send(LVM_SETITEMSTATE, ListView::AsWParam(row)) != 0 : list_.SetItemState(row, *carried_);
  }
  // The text's length as the control reports it.
  LRESULT GetText(std::int32_t row) {
    return remote_ ? carried_.Send(LVM_GETITEMTEXTA, ListView::AsWParam(row)) : list_.GetItemTextInto(row, *carried_);
  }
  void ReadBack() { carried_.ReadBack(); }

 private:
  ListView list_;
  bool remote_;
  CarriedRecord<LVITEMA> carried_;
};

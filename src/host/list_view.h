#pragma once
// A thin, non-owning view of a list-view control: one-line forwarders of its
// ANSI messages, so that every caller builds its item records the same way.
// Only the whole-text read does more than send one message.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

class ListView {
 public:
  explicit ListView(HWND list = nullptr) : list_(list) {}
  HWND Handle() const { return list_; }

  std::int32_t ItemCount() const { return static_cast<std::int32_t>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
  void SetItemCount(std::size_t count) const { SendMessageA(list_, LVM_SETITEMCOUNT, count, 0); }
  // The index of the new row, -1 when the list refused it.
  std::int32_t InsertItem(LVITEMA& item) const { return static_cast<std::int32_t>(Send(LVM_INSERTITEMA, 0, &item)); }
  bool GetItem(LVITEMA& item) const { return Send(LVM_GETITEMA, 0, &item) != 0; }
  bool SetItem(LVITEMA& item) const { return Send(LVM_SETITEMA, 0, &item) != 0; }
  // row -1: every row.
  void SetItemState(std::int32_t row, UINT state, UINT mask) const;
  // The control reads only the record's state and stateMask.
  bool SetItemState(std::int32_t row, LVITEMA& item) const { return Send(LVM_SETITEMSTATE, AsWParam(row), &item) != 0; }
  // The row's state bits within mask.
  UINT ItemState(std::int32_t row, UINT mask) const {
    return static_cast<UINT>(SendMessageA(list_, LVM_GETITEMSTATE, AsWParam(row), mask));
  }
  void SetItemText(std::int32_t row, std::int32_t column, const std::string& text) const;
  // The text's length as the control reports it; the text is in `item`'s buffer.
  LRESULT GetItemTextInto(std::int32_t row, LVITEMA& item) const {
    return Send(LVM_GETITEMTEXTA, AsWParam(row), &item);
  }
  // The whole text, however long: the buffer grows until the text fits.
  std::string GetItemText(std::int32_t row, std::int32_t column = 0) const;
  bool DeleteItem(std::int32_t row) const { return SendMessageA(list_, LVM_DELETEITEM, AsWParam(row), 0) != 0; }
  bool DeleteAllItems() const { return SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0) != 0; }
  HIMAGELIST ImageList(int kind) const {
    return reinterpret_cast<HIMAGELIST>(SendMessageA(list_, LVM_GETIMAGELIST, kind, 0));
  }
  std::int32_t NextItem(std::int32_t start, UINT flags) const {
    return static_cast<std::int32_t>(SendMessageA(list_, LVM_GETNEXTITEM, AsWParam(start), flags));
  }
  void SetRedraw(bool on) const { SendMessageA(list_, WM_SETREDRAW, on ? TRUE : FALSE, 0); }

  // Signed numbers as message parameters: -1 stays -1 at either pointer size.
  static WPARAM AsWParam(std::int32_t value) { return static_cast<WPARAM>(static_cast<LONG_PTR>(value)); }

 private:
  LRESULT Send(UINT message, WPARAM wParam, void* record) const {
    return SendMessageA(list_, message, wParam, reinterpret_cast<LPARAM>(record));
  }

  HWND list_;
};

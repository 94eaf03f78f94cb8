#pragma once
// Helpers shared by the files that implement ListViewAccess.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "listview/record_exchange.h"

namespace listview_detail {

// Signed numbers as message parameters: -1 stays -1 at either pointer size.
inline WPARAM AsWParam(std::int32_t value) { return static_cast<WPARAM>(static_cast<LONG_PTR>(value)); }
inline LPARAM AsLParam(std::int32_t value) { return static_cast<LPARAM>(value); }

// Every bit from bit 12 up: the state-image bits and above.
inline constexpr UINT kCheckStateMask = 0xFFFFF000u;
inline UINT CheckToState(std::int32_t check) { return static_cast<UINT>(check + 1) * 4096u; }
inline std::int32_t StateToCheck(UINT state) { return static_cast<std::int32_t>(state / 4096u) - 1; }

// A zero item record naming one cell and the fields that count.
inline LVITEMA CellRecord(UINT mask, std::int32_t row, std::int32_t column = 0) {
  LVITEMA item{};
  item.mask = mask;
  item.iItem = row;
  item.iSubItem = column;
  return item;
}

// Reads one cell's item record by LVM_GETITEMA with the given mask; whatever
// the send returns. A zero record when it cannot be placed in the other process.
LVITEMA ReadItem(const ControlLink& link, std::int32_t row, std::int32_t column, UINT mask);
// Sends a filled item record without a text by LVM_SETITEMA.
void SetItem(const ControlLink& link, const LVITEMA& item);
// Sends a filled item record without a text by LVM_SETITEMSTATE for row.
void SetItemState(const ControlLink& link, std::int32_t row, const LVITEMA& item);

// Text, image, param, state and LVIF_DI_SETITEM (0x1000), plus LVIF_INDENT:
// the indent a caller passes to InsertItem or carries in a RowRecord takes
// effect on insertion, so that SortByColumn gives the rows back as they were.
inline constexpr UINT kInsertItemMask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | 0x1000 | LVIF_INDENT;

}  // namespace listview_detail

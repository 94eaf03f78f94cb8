#include "host/list_control.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr std::size_t kFirstTextBuffer = 512;
// No cell text is larger than this; it only bounds the growing.
constexpr std::size_t kLargestTextBuffer = 64u << 20;
constexpr std::size_t kSpareBytes = 8;

LRESULT Send(HWND list, UINT message, WPARAM wParam, void* record) {
  return SendMessageA(list, message, wParam, reinterpret_cast<LPARAM>(record));
}

// The bytes of the widest character of the ANSI code page. A control that
// keeps its texts as wide characters copies only whole characters, so a cut
// text may stop up to that many bytes short of the buffer's end.
std::size_t WidestCharacter() {
  CPINFO info{};
  return GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1 ? info.MaxCharSize : 1;
}

}  // namespace

std::int32_t ListRowCount(HWND list) { return static_cast<std::int32_t>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::int32_t ListInsertRow(HWND list, std::optional<std::int32_t> position, const std::string& text, std::int32_t image,
                           std::int32_t indent, std::int32_t rowValue) {
  std::string textCopy = text;  // the record's text pointer is not const
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
  item.iItem = position && *position >= 0 ? *position : ListRowCount(list);
  item.pszText = textCopy.data();
  item.iImage = std::max(image, -1);
  item.iIndent = std::max(indent, 0);
  item.lParam = rowValue;
  return static_cast<std::int32_t>(Send(list, LVM_INSERTITEMA, 0, &item));
}

void ListDeleteRow(HWND list, std::int32_t row) { SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0); }

ListRedrawPause::ListRedrawPause(HWND list) : list_(list) { SendMessageA(list_, WM_SETREDRAW, FALSE, 0); }

ListRedrawPause::~ListRedrawPause() {
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

bool ListHasImages(HWND list) { return SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0) != 0; }

void ListDeleteAllRows(HWND list) { SendMessageA(list, LVM_DELETEALLITEMS, 0, 0); }

std::string ListGetCellText(HWND list, std::int32_t row, std::int32_t column) {
  const std::size_t margin = WidestCharacter();
  std::string buffer;
  for (std::size_t size = kFirstTextBuffer;; size *= 2) {
    // Room beyond the size given to the control: Wine's list copies a
    // double-byte character across the end of a buffer that is too short.
    buffer.assign(size + kSpareBytes, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(size);
    const auto length =
        static_cast<std::size_t>(std::max<LRESULT>(0, Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), &item)));
    // A text that filled the buffer (but for the characters that could not
    // fit) may be longer: ask again with twice the room.
    if (length + margin < size || size >= kLargestTextBuffer) {
      buffer.resize(std::min(length, size - 1));
      return buffer;
    }
  }
}

void ListSetCellText(HWND list, std::int32_t row, std::int32_t column, const std::string& text) {
  std::string textCopy = text;
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = textCopy.data();
  Send(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), &item);
}

std::int32_t ListGetCellImage(HWND list, std::int32_t row, std::int32_t column) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  return Send(list, LVM_GETITEMA, 0, &item) ? item.iImage : 0;
}

void ListSetCellImage(HWND list, std::int32_t row, std::int32_t column, std::int32_t image) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  item.iImage = std::max(image, -1);
  if (!Send(list, LVM_SETITEMA, 0, &item)) return;
  // Without this the old picture would stay on screen until the next paint.
  if (item.iImage == -1) {
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
  }
}

std::int32_t ListGetRowValue(HWND list, std::int32_t row) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  return Send(list, LVM_GETITEMA, 0, &item) ? static_cast<std::int32_t>(item.lParam) : 0;
}

void ListSetRowValue(HWND list, std::int32_t row, std::int32_t value) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  item.lParam = value;
  Send(list, LVM_SETITEMA, 0, &item);
}

std::int32_t ListHitTestRow(HWND list, std::int32_t x, std::int32_t y) {
  LVHITTESTINFO hit{};
  hit.pt.x = x;
  hit.pt.y = y;
  hit.iItem = -1;
  Send(list, LVM_SUBITEMHITTEST, 0, &hit);
  return hit.iItem;
}

bool IsLeftButtonDown() { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }

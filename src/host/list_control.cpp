#include "host/list_control.h"

#include <commctrl.h>

#include <algorithm>

#include "host/list_view.h"

std::int32_t ListRowCount(HWND list) { return ListView(list).ItemCount(); }

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
  return ListView(list).InsertItem(item);
}

void ListDeleteRow(HWND list, std::int32_t row) { ListView(list).DeleteItem(row); }

void ListEnsureVisible(HWND list, std::int32_t row) {
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

ListRedrawPause::ListRedrawPause(HWND list) : list_(list) { ListView(list_).SetRedraw(false); }

ListRedrawPause::~ListRedrawPause() {
  ListView(list_).SetRedraw(true);
  InvalidateRect(list_, nullptr, TRUE);
}

bool ListHasImages(HWND list) { return ListView(list).ImageList(LVSIL_SMALL) != nullptr; }

void ListDeleteAllRows(HWND list) { ListView(list).DeleteAllItems(); }

std::string ListGetCellText(HWND list, std::int32_t row, std::int32_t column) {
  return ListView(list).GetItemText(row, column);
}

void ListSetCellText(HWND list, std::int32_t row, std::int32_t column, const std::string& text) {
  ListView(list).SetItemText(row, column, text);
}

std::int32_t ListGetCellImage(HWND list, std::int32_t row, std::int32_t column) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  return ListView(list).GetItem(item) ? item.iImage : 0;
}

void ListSetCellImage(HWND list, std::int32_t row, std::int32_t column, std::int32_t image) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  item.iImage = std::max(image, -1);
  if (!ListView(list).SetItem(item)) return;
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
  return ListView(list).GetItem(item) ? static_cast<std::int32_t>(item.lParam) : 0;
}

void ListSetRowValue(HWND list, std::int32_t row, std::int32_t value) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  item.lParam = value;
  ListView(list).SetItem(item);
}

std::int32_t ListHitTestRow(HWND list, std::int32_t x, std::int32_t y) {
  LVHITTESTINFO hit{};
  hit.pt.x = x;
  hit.pt.y = y;
  hit.iItem = -1;
  SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return hit.iItem;
}

RECT ListRowRect(HWND list, std::int32_t row) {
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  if (!SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds))) return RECT{};
  return bounds;
}

bool IsLeftButtonDown() { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }

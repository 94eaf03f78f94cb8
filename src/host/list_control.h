#pragma once
// Rows and cells of a report list control, addressed by its window. Every
// call sends its message at once; a missing row or column reads as the empty
// text, image 0 or value 0 and makes the setters do nothing.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

std::int32_t ListRowCount(HWND list);

// Appends when position is absent or negative. Image below -1 becomes -1,
// a negative indent 0. The index of the new row, -1 on failure.
std::int32_t ListInsertRow(HWND list, std::optional<std::int32_t> position = std::nullopt, const std::string& text = {},
                           std::int32_t image = -1, std::int32_t indent = 0, std::int32_t rowValue = 0);

void ListDeleteRow(HWND list, std::int32_t row);
// Scrolls the list so that the row is on screen whole.
void ListEnsureVisible(HWND list, std::int32_t row);
void ListDeleteAllRows(HWND list);

// The whole text, however long: the buffer grows until the text fits.
std::string ListGetCellText(HWND list, std::int32_t row, std::int32_t column = 0);
void ListSetCellText(HWND list, std::int32_t row, std::int32_t column = 0, const std::string& text = {});

std::int32_t ListGetCellImage(HWND list, std::int32_t row, std::int32_t column = 0);
// Below -1 becomes -1; -1 also repaints the whole control.
void ListSetCellImage(HWND list, std::int32_t row, std::int32_t column = 0, std::int32_t image = -1);

std::int32_t ListGetRowValue(HWND list, std::int32_t row);
void ListSetRowValue(HWND list, std::int32_t row, std::int32_t value = 0);

// Holds the list's redrawing off while many rows change, then redraws it
// once: a shown list would otherwise repaint (and under Wine redo its scroll
// bar) at every change.
class ListRedrawPause {
 public:
  explicit ListRedrawPause(HWND list);
  ~ListRedrawPause();
  ListRedrawPause(const ListRedrawPause&) = delete;
  ListRedrawPause& operator=(const ListRedrawPause&) = delete;

 private:
  HWND list_;
};

// True when the list has an image list for its rows or cells (small icons).
bool ListHasImages(HWND list);

// The row under the point (client coordinates), -1 for none.
std::int32_t ListHitTestRow(HWND list, std::int32_t x, std::int32_t y);

// The row's rectangle in the list's client coordinates; all 0 for no row.
RECT ListRowRect(HWND list, std::int32_t row);

bool IsLeftButtonDown();

#pragma once
// Thin, non-owning views of the main window's controls: the properties that
// the handlers read and write, each acting on the live control at once.

#include <windows.h>

#include <cstdint>
#include <string>

#include "host/bytes.h"

// The account list (a SysListView32 in report view, subclassed by the main
// window so that it can raise its events and keep its pointer shape).
class ReportList {
 public:
  explicit ReportList(HWND list = nullptr) : list_(list) {}
  HWND ControlWindowHandle() const { return list_; }

  // 0-based index of the first selected row, -1 when none.
  std::int32_t SelectedRow() const;
  // n >= 0 selects row n and gives it the focus mark; -1 (or less) clears the
  // selection of the first selected row. Does not scroll.
  void SetSelectedRow(std::int32_t row);

  // 0 the control's own pointer; 1..14 the standard pointers (8 = IDC_SIZEALL).
  // Takes effect at once, also while the pointer is already over the list.
  std::int32_t MousePointer() const;
  void SetMousePointer(std::int32_t pointer);

  // Empties the list and rebuilds it from a list content byte layout; no row
  // is selected afterwards. False when the list refused a row or memory ran
  // out: the list may then lack rows of the content.
  bool SetContent(const Bytes& content);
  // Leaves the list as SetContent(content) would, but keeps the rows (and
  // where the list is scrolled to) when they already are the content's rows.
  bool ShowContent(const Bytes& content);
  // The bytes last given to SetContent (not a fresh dump of the rows).
  Bytes Content() const;
  // The info-tip text that the last SetContent gave row `row`; empty if none.
  std::string InfoTip(std::int32_t row) const;

 private:
  HWND list_;
};

// A one-line edit box; its text read and written as a whole (ANSI).
class EditBox {
 public:
  explicit EditBox(HWND edit = nullptr) : edit_(edit) {}
  HWND Handle() const { return edit_; }
  std::string Content() const;
  void SetContent(const std::string& text);

 private:
  HWND edit_;
};

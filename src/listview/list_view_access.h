#pragma once
// Drives a list-view control (class "SysListView32") by its window handle,
// in this process (local mode) or in another one (remote mode, where every
// record a message carries is placed in the other process's memory first).

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "listview/remote_memory.h"
#include "listview/row_record.h"

struct ControlLink;
class ListView;

class ListViewAccess {
 public:
  ListViewAccess();
  // With a memory of the caller's making (its platform reader and the rights the
  // owning process is opened with).
  explicit ListViewAccess(RemoteMemory memory);
  ~ListViewAccess();
  ListViewAccess(const ListViewAccess&) = delete;
  ListViewAccess& operator=(const ListViewAccess&) = delete;

  // Checks the window's class name (case-sensitive; default "SysListView32")
  // and opens its owning process. False, changing nothing, for another class.
  bool Bind(HWND window, bool remote = false, std::optional<std::string> className = std::nullopt);

  std::string GetItemText(std::int32_t row, std::int32_t column = 0, std::int32_t capacity = 260);
  std::int32_t GetCellImage(std::int32_t row, std::int32_t column = 0);
  // State-image index minus 1: 0 unchecked, 1 checked, -1 no check box.
  std::int32_t GetCheckState(std::int32_t row);
  std::int32_t GetItemIndent(std::int32_t row);
  std::int32_t GetItemCount();
  std::int32_t GetItemParam(std::int32_t row);
  void SetItemText(std::int32_t row, std::int32_t column = 0, const std::string& text = {});
  void SetCellImage(std::int32_t row, std::int32_t column = 0, std::int32_t image = 0);
  // -1 removes the row's check box.
  void SetCheckState(std::int32_t row, std::int32_t check = -1);
  void SetItemIndent(std::int32_t row, std::int32_t indent = 0);
  void SetItemParam(std::int32_t row, std::int32_t value = 0);
  std::vector<std::int32_t> GetSelectedRows();
  // Rows whose check state is not 0 (rows without a check box included).
  std::vector<std::int32_t> GetCheckedRows();
  std::int32_t GetSelectedCount();
  bool IsSelected(std::int32_t row);
  void SelectItem(std::int32_t row);
  void DeselectItem(std::int32_t row);
  // Row absent or -1: after the last. Index of the new item, -1 on failure.
  std::int32_t InsertItem(std::optional<std::int32_t> row = std::nullopt, const std::string& text = {},
                          std::int32_t image = -1, std::int32_t check = -1, std::int32_t indent = 0,
                          std::int32_t param = 0);
  // Inserts a sorted copy of rows from firstRow on (absent or -1: after the last).
  void InsertRows(std::optional<std::int32_t> firstRow, const std::vector<RowRecord>& rows, std::int32_t sortType = 0);
  // 1-based from and to (absent: 1 and the number of rows); see row_sort.h.
  void SortRows(std::vector<RowRecord>& rows, std::optional<std::int32_t> from, std::optional<std::int32_t> to,
                std::int32_t sortType);
  bool DeleteItem(std::int32_t row);
  bool DeleteAllItems();
  // The search begins after the item at start, as the control defines; -1 searches from the first item.
  std::int32_t FindItemByText(const std::string& text, std::int32_t start = 0, bool whole = false, bool wrap = false);
  std::int32_t FindItemByParam(std::int32_t start = 0, std::int32_t value = 0, bool wrap = false);
  bool EnsureVisible(std::int32_t row);
  bool Arrange();
  std::string GetColumnText(std::int32_t column);
  // 0 left, 1 centre, 2 right, 255 when the column cannot be read.
  std::uint8_t GetColumnAlign(std::int32_t column);
  std::int32_t GetColumnWidth(std::int32_t column);
  std::int32_t GetColumnImage(std::int32_t column);
  bool IsColumnImageRight(std::int32_t column);
  void SetColumnText(std::int32_t column, const std::string& text = {});
  void SetColumnWidth(std::int32_t column, std::int32_t width = 0);
  void SetColumnImage(std::int32_t column, std::int32_t image = 0);
  std::int32_t GetColumnCount();
  // Position absent or -1: after the last. Align codes as GetColumnAlign.
  std::int32_t InsertColumn(std::optional<std::int32_t> position = std::nullopt, const std::string& text = {},
                            std::int32_t width = 50, std::int32_t align = 0, std::int32_t image = -1,
                            bool imageOnRight = false);
  bool DeleteColumn(std::int32_t column);
  HWND EditLabel(std::int32_t row);
  void GetAllRows(std::vector<RowRecord>& rows);
  RowRecord GetRow(std::int32_t row);
  COLORREF GetTextColor();
  void SetTextColor(COLORREF color);
  bool RedrawPage();
  std::int32_t GetTopIndex();
  std::int32_t GetCountPerPage();
  COLORREF GetTextBkColor();
  void SetTextBkColor(COLORREF color);
  COLORREF GetBkColor();
  void SetBkColor(COLORREF color);
  // View codes: 0 icon, 1 small icon, 2 list, 3 report, 4 tile; -1 for any other view.
  std::int32_t GetView();
  bool SetView(std::int32_t view);
  std::string GetBkImage();
  void SetBkImage(const std::string& imageFile, bool tile = true);
  std::int32_t GetHotItem();
  std::int32_t GetIconSpacing();
  HWND GetEditControl();
  void GetItemSpacing(std::int32_t& horizontal, std::int32_t& vertical, bool smallIcons);
  void SortByColumn(std::int32_t column, bool ascending = true);
  // on absent: only reports whether the list allows a single selection.
  bool SingleSelect(std::optional<bool> on = std::nullopt);
  std::int32_t GetFirstSelected();
  void SelectOnly(std::int32_t row);
  bool ExportHtml(const std::string& fileName, bool withHeader = false);
  void UseRemote();
  void UseLocal();

  // What the exchanges left allocated in the other process (diagnostics).
  const RemoteMemory& Memory() const { return memory_; }
  RemoteMemory& Memory() { return memory_; }

 private:
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;
  // The messages that carry no record, or a record of this process.
  ListView List() const;
  // The control and where this call's records go (the mode is read on every call).
  ControlLink Link();

  HWND window_ = nullptr;
  HWND header_ = nullptr;
  bool remote_ = false;
  RemoteMemory memory_;
  UniqueHandle process_;
};

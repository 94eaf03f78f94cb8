#pragma once
// A real report list-view control for the tests in this process, and raw
// reads of it that do not go through the code under test.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace test {

struct ListColumn {
  std::string title;
  int width = 100;
};

// The two columns of the launcher's list: 序号 and 手机号 (GBK).
inline const std::vector<ListColumn> kAccountColumns = {{"\xD0\xF2\xBA\xC5", 50}, {"\xCA\xD6\xBB\xFA\xBA\xC5", 150}};

// A report list with `extraStyle` (LVS_SINGLESEL, LVS_SHOWSELALWAYS, ...) and
// the given columns, as a child of `parent` at `where` (client coordinates).
HWND CreateReportList(HWND parent, DWORD extraStyle, const std::vector<ListColumn>& columns, RECT where);

// The class of ReportListWindow's top window (window procedure DefWindowProcA),
// also for other plain top-level windows of a test.
inline constexpr char kReportListTopClass[] = "KlListTestTop";

// A top-level window holding one report list. Showing a top-level window takes
// Wine a while, so tests make one for a whole suite and empty the list between
// cases.
class ReportListWindow {
 public:
  struct Options {
    DWORD listStyle = LVS_SHOWSELALWAYS;
    std::vector<ListColumn> columns;
    bool shown = true;
    RECT list = {0, 0, 460, 320};  // in the top window's client area
    const char* title = "kl list test";
  };
  explicit ReportListWindow(const Options& options);
  ~ReportListWindow();
  ReportListWindow(const ReportListWindow&) = delete;
  ReportListWindow& operator=(const ReportListWindow&) = delete;

  HWND top() const { return top_; }
  HWND list() const { return list_; }

 private:
  HWND top_ = nullptr;
  HWND list_ = nullptr;
};

// The text of one cell, read with LVM_GETITEMTEXTA into a buffer of its own.
std::string RawCellText(HWND list, int row, int column);
int RawRowCount(HWND list);
// Every row's first `columns` cells.
std::vector<std::vector<std::string>> RawCells(HWND list, int columns);

}  // namespace test

#include "report_list.h"

namespace test {

namespace {

void LoadListClass() {
  static const bool loaded = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)loaded;
}

void RegisterTopClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kReportListTopClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

HWND CreateReportList(HWND parent, DWORD extraStyle, const std::vector<ListColumn>& columns, RECT where) {
  LoadListClass();
  const HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | extraStyle, where.left,
                                    where.top, where.right - where.left, where.bottom - where.top, parent,
                                    reinterpret_cast<HMENU>(1), GetModuleHandleA(nullptr), nullptr);
  for (std::size_t index = 0; index < columns.size(); ++index) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(columns[index].title.c_str());
    column.cx = columns[index].width;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
  }
  return list;
}

ReportListWindow::ReportListWindow(const Options& options) {
  RegisterTopClass();
  top_ = CreateWindowExA(0, kReportListTopClass, options.title, WS_OVERLAPPEDWINDOW | (options.shown ? WS_VISIBLE : 0),
                         10, 10, options.list.right + 40, options.list.bottom + 60, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
  list_ = CreateReportList(top_, options.listStyle, options.columns, options.list);
}

ReportListWindow::~ReportListWindow() {
  if (top_) DestroyWindow(top_);
}

std::string RawCellText(HWND list, int row, int column) {
  std::vector<char> buffer(4096);
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer.data();
}

int RawRowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<std::vector<std::string>> RawCells(HWND list, int columns) {
  std::vector<std::vector<std::string>> rows;
  for (int row = 0; row < RawRowCount(list); ++row) {
    rows.emplace_back();
    for (int column = 0; column < columns; ++column) rows.back().push_back(RawCellText(list, row, column));
  }
  return rows;
}

}  // namespace test

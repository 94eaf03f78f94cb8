#include "bench_rows.h"

#include <windows.h>

#include <commctrl.h>

#include <chrono>

#include "host/list_content.h"
#include "program_watch.h"

launcher_test::Rows BenchRows(int rows, bool countingDown) {
  launcher_test::Rows list;
  list.reserve(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r)
    list.push_back({std::to_string(countingDown ? rows - r : r + 1), "138" + std::to_string(10000000 + r)});
  return list;
}

Bytes ContentOfRows(const launcher_test::Rows& rows) {
  Bytes content;
  for (const launcher_test::Row& row : rows) {
    const Bytes first = EncodeRowRecord(-1, 0, row.first);
    const Bytes second = EncodeCellRecord(-1, row.second);
    content.insert(content.end(), first.begin(), first.end());
    content.insert(content.end(), second.begin(), second.end());
  }
  return content;
}

double TimeHiddenFill(const launcher_test::Rows& rows) {
  static const bool classesReady = [] {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  if (!classesReady) return -1;
  // A list of the program's kind and size, in a window that is never shown.
  HWND window = CreateWindowExW(0, WC_STATICW, L"", WS_OVERLAPPEDWINDOW, 0, 0, 700, 420, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                              8, 16, 221, 344, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (list == nullptr) {
    if (window) DestroyWindow(window);
    return -1;
  }
  const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  for (int c = 0; c < 2; ++c) {
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = c == 0 ? 50 : 150;
    column.iSubItem = c;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
  }

  const auto start = std::chrono::steady_clock::now();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(r);
    item.pszText = const_cast<char*>(rows[r].first.c_str());
    const auto at = SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMA cell = {};
    cell.iSubItem = 1;
    cell.pszText = const_cast<char*>(rows[r].second.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&cell));
  }
  const double elapsed = MillisecondsSince(start);
  const bool complete = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == static_cast<LRESULT>(rows.size());
  DestroyWindow(window);
  return complete ? elapsed : -1;
}

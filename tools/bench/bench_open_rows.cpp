// The rows drawn as open. A change of the list reads every row's account once
// (against the plain read-out of the rows' account texts, which it cannot do
// without); the twice-a-second tick then looks at the markers only: its cost
// must not grow with the rows, also for a crafted list of hundreds of
// thousands of empty rows.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/files.h"
#include "host/list_control.h"
#include "host/text.h"
#include "launcher/open_rows.h"
#include "launcher/program_paths.h"

namespace {

// As the program has them, beside this bench.
const ProgramPaths kPaths = ProgramPathsIn(ProgramFolder());

std::string Account(int i) { return JoinTexts({"138", ToText(10000000 + i)}); }

HWND MakeList(int rows, bool empty) {
  HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_OVERLAPPEDWINDOW | LVS_REPORT, 0, 0, 300, 400, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  for (int c = 0; c < 2; ++c) {
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
  }
  for (int r = 0; r < rows; ++r) {
    ListInsertRow(list);
    if (empty) continue;
    ListSetCellText(list, r, 0, ToText(r + 1));
    ListSetCellText(list, r, 1, Account(r));
  }
  return list;
}

// Marker windows as browsers keep them, for every `step`-th account.
std::vector<HWND> MakeMarkers(int count, int step) {
  static const bool registered = [] {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Chrome_MessageWindow";
    return RegisterClassA(&windowClass) != 0;
  }();
  std::vector<HWND> markers;
  if (!registered) return markers;
  for (int i = 0; i < count; ++i)
    markers.push_back(CreateWindowExA(0, "Chrome_MessageWindow", kPaths.ProfileFolderOf(Account(i * step)).c_str(), 0,
                                      0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr));
  return markers;
}

template <typename Work>
double MillisecondsPerRound(Work work, int rounds = 20) {
  work();  // warm
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / rounds;
}

void Measure(int rows, int markerCount, bool empty = false) {
  HWND list = MakeList(rows, empty);
  const std::vector<HWND> markers = MakeMarkers(markerCount, rows / (markerCount > 0 ? markerCount : 1));
  OpenRows open(kPaths.profileRoot);
  const int rounds = rows > 10000 ? 3 : 20;
  const double change = MillisecondsPerRound([&] { open.RowsChanged(list); }, rounds);
  const double tick = MillisecondsPerRound([&] { open.Refresh(); }, rounds);
  const double readOut = MillisecondsPerRound(
      [&] {
        for (int r = 0; r < rows; ++r) ListGetCellText(list, r, 1);
      },
      rounds);
  int marked = 0;
  for (int r = 0; r < rows; ++r) marked += open.IsOpen(r);
  std::printf(
      "bench_open_rows: %6d %s rows, %4d markers: tick %7.3f ms; list change %8.2f ms, row read-out %8.2f ms, "
      "ratio %5.2f (%d open)\n",
      rows, empty ? "empty" : "filled", markerCount, tick, change, readOut, change / readOut, marked);
  for (HWND marker : markers) DestroyWindow(marker);
  DestroyWindow(list);
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  for (int markers : {0, 1, 10, 100, 1000}) Measure(1000, markers);
  for (int rows : {250, 500, 2000, 4000}) Measure(rows, 10);
  Measure(200000, 10, true);
  return 0;
}

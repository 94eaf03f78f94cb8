#include "list_fixture.h"

#include "report_list.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace lvtest {

namespace {

constexpr char kHostFlag[] = "--host-list";
constexpr char kHostTitlePrefix[] = "kl hosted list ";
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kHostLifetimeMs = 60000;

void EnsureCommonControls() {
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&init);
}

LRESULT CALLBACK TopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kLifetimeTimer) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY && GetPropA(window, "kl.host")) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

const char* TopClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TopProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KlHostedListTop";
    RegisterClassA(&wc);
    return "KlHostedListTop";
  }();
  return name;
}

HWND CreateTop(const char* title) {
  return CreateWindowExA(0, TopClass(), title, WS_OVERLAPPEDWINDOW, 10, 10, 600, 400, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

constexpr DWORD kListStyle = LVS_SHOWSELALWAYS | LVS_EDITLABELS;
constexpr RECT kListPlace = {0, 0, 580, 360};

HWND CreateList(HWND top) {
  const HWND list = test::CreateReportList(top, kListStyle, {}, kListPlace);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_SUBITEMIMAGES);
  return list;
}

void RawInsertColumn(HWND list, int at, const char* text, int width, int fmt, int image) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | (image >= 0 ? LVCF_IMAGE : 0);
  column.pszText = const_cast<char*>(text);
  column.cx = width;
  column.fmt = fmt | (image >= 0 ? LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT : 0);
  column.iImage = image;
  SendMessageA(list, LVM_INSERTCOLUMNA, at, reinterpret_cast<LPARAM>(&column));
}

struct KnownRow {
  const char* text;
  int image, param, indent, stateImage;
  const char* cells[2];
  int cellImages[2];
};

// Runs the hosted list when this program was started with --host-list; the
// tests never start in that copy.
struct HostEntry {
  HostEntry() {
    const char* line = GetCommandLineA();
    if (!std::strstr(line, kHostFlag)) return;
    EnsureCommonControls();
    HWND top = CreateTop("kl hosted list (filling)");
    SetPropA(top, "kl.host", reinterpret_cast<HANDLE>(1));
    FillKnownList(CreateList(top));
    // The parent looks for this title, so it appears only once the list is full.
    const std::string title = kHostTitlePrefix + std::to_string(GetCurrentProcessId());
    SetWindowTextA(top, title.c_str());
    SetTimer(top, kLifetimeTimer, kHostLifetimeMs, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    ExitProcess(0);
  }
} hostEntry;

}  // namespace

void FillKnownList(HWND list) {
  RawInsertColumn(list, 0, "Name", 100, LVCFMT_LEFT, -1);
  RawInsertColumn(list, 1, "City", 80, LVCFMT_CENTER, -1);
  RawInsertColumn(list, 2, "Code", 60, LVCFMT_RIGHT, 1);
  const KnownRow rows[] = {
      {"alpha", 0, 100, 1, 2, {"x1", "y1"}, {10, 11}},
      {"beta", 1, -5, 0, 1, {"x2", ""}, {0, 0}},
      {"alphabet", 2, 7, 0, 0, {"x3", "y3"}, {0, 0}},
      {kChinese.c_str(), 3, 0, 2, 2, {"", "z4"}, {0, 0}},
  };
  for (int r = 0; r < 4; ++r) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT;
    item.iItem = r;
    item.pszText = const_cast<char*>(rows[r].text);
    item.iImage = rows[r].image;
    item.lParam = rows[r].param;
    item.iIndent = rows[r].indent;
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMA state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(rows[r].stateImage);
    SendMessageA(list, LVM_SETITEMSTATE, r, reinterpret_cast<LPARAM>(&state));
    for (int c = 1; c <= 2; ++c) {
      LVITEMA cell{};
      cell.mask = LVIF_TEXT | LVIF_IMAGE;
      cell.iItem = r;
      cell.iSubItem = c;
      cell.pszText = const_cast<char*>(rows[r].cells[c - 1]);
      cell.iImage = rows[r].cellImages[c - 1];
      SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
    }
  }
  for (int r : {1, 3}) {
    LVITEMA selected{};
    selected.stateMask = LVIS_SELECTED;
    selected.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, r, reinterpret_cast<LPARAM>(&selected));
  }
}

ListWindow::ListWindow(const char* title) : window_({kListStyle, {}, false, kListPlace, title}) {
  SendMessageA(window_.list(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_SUBITEMIMAGES);
}

LVITEMA RawItem(HWND list, int row, int column, UINT mask) {
  LVITEMA item{};
  item.mask = mask;
  item.iItem = row;
  item.iSubItem = column;
  item.stateMask = 0xFFFFFFFF;
  SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item;
}

LVCOLUMNA RawColumn(HWND list, int column, UINT mask, bool* ok) {
  LVCOLUMNA record{};
  record.mask = mask;
  const bool got = SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&record)) != 0;
  if (ok) *ok = got;
  return record;
}

std::string RawColumnText(HWND list, int column) {
  char buffer[600] = {};
  LVCOLUMNA record{};
  record.mask = LVCF_TEXT;
  record.pszText = buffer;
  record.cchTextMax = sizeof(buffer);
  SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&record));
  return buffer;
}

int RawStateImage(HWND list, int row) {
  return static_cast<int>((SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12);
}

MessageCounter::MessageCounter(HWND list) : list_(list) {
  SetWindowSubclass(list_, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

MessageCounter::~MessageCounter() { RemoveWindowSubclass(list_, Proc, 1); }

int MessageCounter::Count(UINT message) const {
  return static_cast<int>(std::count(seen_.begin(), seen_.end(), message));
}

int MessageCounter::ListMessages() const {
  return static_cast<int>(
      std::count_if(seen_.begin(), seen_.end(), [](UINT m) { return m >= LVM_FIRST && m < LVM_FIRST + 0x100; }));
}

void MessageCounter::Reset() { seen_.clear(); }

LRESULT CALLBACK MessageCounter::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self) {
  auto* counter = reinterpret_cast<MessageCounter*>(self);
  counter->seen_.push_back(message);
  if (message == LVM_GETITEMSPACING && counter->answerSpacing_) {
    counter->spacingWParam_ = wParam;
    return counter->spacing_;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

bool HostedList::Start() {
  const std::string exe = [] {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path);
  }();
  if (!child_.Start("\"" + exe + "\" " + kHostFlag)) return false;
  top_ =
      test::WaitForProcessWindow(child_.id(), kHostTitlePrefix + std::to_string(child_.id()), std::chrono::seconds(20));
  if (!top_) return false;
  list_ = FindWindowExA(top_, nullptr, WC_LISTVIEWA, nullptr);
  return list_ != nullptr;
}

HostedList::~HostedList() {
  if (top_) PostMessageA(top_, WM_CLOSE, 0, 0);
  DWORD code = 0;
  if (!child_.WaitForExit(code, std::chrono::seconds(10))) child_.Kill();
}

bool IsCommitted(HANDLE process, const void* address) {
  MEMORY_BASIC_INFORMATION info{};
  if (VirtualQueryEx(process, address, &info, sizeof(info)) == 0) return false;
  return info.State == MEM_COMMIT;
}

}  // namespace lvtest

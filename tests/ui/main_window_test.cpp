// The main window as built in this process, with a target that records the
// events it raises; real mouse and keyboard input through SendInput.
#include "ui/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "host/list_content.h"
#include "ui/controls.h"
#include "ui/hyperlink.h"
#include "ui/picture_box.h"
#include "ui/resource_ids.h"
#include "input.h"
#include "win_test_support.h"

namespace {

using namespace std::chrono_literals;
using C = ControlId;

struct Raised {
  ControlId source;
  int number;
  EventArgs args;
  std::int32_t selectedRow;  // of the list, when the event was raised
};

class RecordingTarget : public EventTarget {
 public:
  void ControlsReady(const ControlWindows& ready) override {
    controls = ready;
    ++readyCalls;
  }
  bool Raise(ControlId source, int number, const EventArgs& args) override {
    if (source == C::MainWindow && number == event::kWindowCreated) controlsWhenCreated = Parents();
    events.push_back({source, number, args, ReportList(Window(C::List1)).SelectedRow()});
    if (failing) throw std::bad_alloc();
    return usedUp && usedUp(number, args);
  }
  HWND Window(ControlId id) const { return controls[static_cast<std::size_t>(ControlIndex(id))]; }
  // Each control's parent at this moment (0 for a missing control).
  std::vector<HWND> Parents() const {
    std::vector<HWND> parents;
    for (HWND control : controls) parents.push_back(control ? GetParent(control) : nullptr);
    return parents;
  }
  int Count(ControlId source, int number) const {
    int n = 0;
    for (const Raised& e : events) n += e.source == source && e.number == number;
    return n;
  }

  ControlWindows controls = {};
  bool failing = false;  // every handler fails after it is recorded
  // Which events the handler uses up; none when empty.
  std::function<bool(int number, const EventArgs&)> usedUp;
  int readyCalls = 0;
  std::vector<HWND> controlsWhenCreated;
  std::vector<Raised> events;
};

// Pumps this thread's messages through the window's key handling, like the
// program's loop, until `done` or the timeout.
bool PumpUntil(MainWindow& window, const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (window.TranslateWindowKeys(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(5);
  }
}

void PumpFor(MainWindow& window, std::chrono::milliseconds duration) {
  PumpUntil(
      window, [] { return false; }, duration);
}

POINT ScreenPoint(HWND window, int x, int y) { return test::ClientToScreenPoint(window, {x, y}); }

void Click(POINT at) {
  test::SendSteps(
      {test::MouseStep(at, 0), test::MouseStep(at, MOUSEEVENTF_LEFTDOWN), test::MouseStep(at, MOUSEEVENTF_LEFTUP)});
}

void Drag(POINT from, POINT to) {
  POINT middle = {(from.x + to.x) / 2, (from.y + to.y) / 2};
  test::SendSteps({test::MouseStep(from, 0), test::MouseStep(from, MOUSEEVENTF_LEFTDOWN), test::MouseStep(middle, 0),
                   test::MouseStep(to, 0), test::MouseStep(to, MOUSEEVENTF_LEFTUP)});
}

RECT WindowRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

Bytes Rows(const std::vector<std::string>& accounts) {
  Bytes all;
  for (std::size_t i = 0; i < accounts.size(); ++i) {
    for (const Bytes& part : {EncodeRowRecord(-1, 0, std::to_string(i + 1)), EncodeCellRecord(-1, accounts[i])})
      all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    target_ = new RecordingTarget;
    window_ = new MainWindow(*target_);
    created_ = window_->Create();
    if (!created_) return;
    initialRect_ = WindowRect(window_->Handle());
    ShowWindow(window_->Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(window_->Handle());
    PumpFor(*window_, 300ms);
  }
  static void TearDownTestSuite() {
    delete window_;
    delete target_;
    OleUninitialize();
  }
  void SetUp() override {
    ASSERT_TRUE(created_);
    ASSERT_NE(window_->Handle(), nullptr);
  }

  static HWND Control(ControlId id) { return window_->Control(id); }
  // Separate presses must not make a double-click.
  static void PauseBetweenClicks() { PumpFor(*window_, 600ms); }

  static RecordingTarget* target_;
  static MainWindow* window_;
  static bool created_;
  static RECT initialRect_;
};

RecordingTarget* MainWindowTest::target_ = nullptr;
MainWindow* MainWindowTest::window_ = nullptr;
bool MainWindowTest::created_ = false;
RECT MainWindowTest::initialRect_ = {};

TEST_F(MainWindowTest, WindowIsCentredTopmostAndHasNoMaximizeBox) {
  const int left = (GetSystemMetrics(SM_CXSCREEN) - 691) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - 414) / 2;
  EXPECT_EQ(initialRect_.left, left);
  EXPECT_EQ(initialRect_.top, top);
  EXPECT_EQ(initialRect_.right - initialRect_.left, 691);
  EXPECT_EQ(initialRect_.bottom - initialRect_.top, 414);

  HWND window = window_->Handle();
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  EXPECT_STREQ(caption, L"仅支持Kestrun");
}

TEST_F(MainWindowTest, CreatedEventComesOnceAfterEveryControlHasItsParent) {
  EXPECT_EQ(target_->readyCalls, 1);
  EXPECT_EQ(target_->Count(C::MainWindow, event::kWindowCreated), 1);
  ASSERT_EQ(target_->controlsWhenCreated.size(), static_cast<std::size_t>(kControlCount));
  EXPECT_EQ(target_->controlsWhenCreated, target_->Parents());
  for (int i = 0; i < kControlCount; ++i) EXPECT_NE(target_->controlsWhenCreated[static_cast<std::size_t>(i)], nullptr);
}

// The layout as designed: parent, position, size, class, Tab stop and font.
struct Expected {
  ControlId id;
  const char* name;
  bool inGroup;
  int left, top, width, height;
  const wchar_t* windowClass;
  bool tab;
  const wchar_t* face;  // nullptr: the default GUI font, or none for a height of -1
  int fontHeight;
};

// clang-format off
const Expected kLayout[] = {
    {C::Link3,    "超级链接框3", true,  244, 168, 200,  20, L"KestrunHyperlink",  false, L"华文中宋", 16},
    {C::Label4,   "标签4",       true,  253,  68,  48,  24, L"Static",            false, nullptr,     0},
    {C::Label2,   "标签2",       true,  248,  24,  56,  32, L"Static",            false, nullptr,     0},
    {C::Edit2,    "编辑框2",     true,  310,  26, 168,  32, L"Edit",              true,  nullptr,     0},
    {C::Button5,  "按钮5",       true,  418, 115,  56,  32, L"Button",            true,  nullptr,     0},
    {C::List1,    "超级列表框1", true,    8,  16, 221, 344, L"SysListView32",     true,  L"楷体",     16},
    {C::Label1,   "标签1",       true,  257, 195, 200,  80, L"Static",            false, L"华文中宋", 14},
    {C::Button8,  "按钮8",       true,  360, 115,  56,  32, L"Button",            true,  nullptr,     0},
    {C::Button7,  "按钮7",       true,  303, 115,  56,  32, L"Button",            true,  nullptr,     0},
    {C::Button4,  "按钮4",       true,  245, 115,  56,  32, L"Button",            true,  nullptr,     0},
    {C::Edit1,    "编辑框1",     true,  312,  65, 168,  32, L"Edit",              true,  L"楷体",     16},
    {C::Button1,  "按钮1",       true,  296, 293, 136,  32, L"Button",            true,  nullptr,     0},
    {C::Group1,   "分组框1",     false,   8,   8, 488, 368, L"Button",            false, nullptr,     0},
    {C::Picture1, "图片框1",     false, 488,  16, 200, 168, L"KestrunPictureBox", false, nullptr,    -1},
    {C::Link1,    "超级链接框1", false, 492, 194, 191,  20, L"KestrunHyperlink",  false, L"华文中宋", 16},
    {C::Label3,   "标签3",       false, 504, 229, 200,  67, L"Static",            false, L"华文中宋", 14},
};
// clang-format on

TEST_F(MainWindowTest, ControlsAreLaidOutAsDesigned) {
  HWND group = Control(C::Group1);
  for (const Expected& e : kLayout) {
    SCOPED_TRACE(e.name);
    HWND control = Control(e.id);
    ASSERT_NE(control, nullptr);
    HWND parent = e.inGroup ? group : window_->Handle();
    EXPECT_EQ(GetParent(control), parent);
    RECT r = WindowRect(control);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, e.left);
    EXPECT_EQ(r.top, e.top);
    EXPECT_EQ(r.right - r.left, e.width);
    EXPECT_EQ(r.bottom - r.top, e.height);
    wchar_t windowClass[64] = {};
    GetClassNameW(control, windowClass, 64);
    EXPECT_EQ(_wcsicmp(windowClass, e.windowClass), 0) << test::Narrow(windowClass);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, e.tab);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(IsWindowEnabled(control));

    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (e.fontHeight < 0) {
      EXPECT_EQ(font, nullptr);
    } else if (e.face == nullptr) {
      EXPECT_EQ(font, GetStockObject(DEFAULT_GUI_FONT));
    } else {
      LOGFONTW logical = {};
      ASSERT_EQ(GetObjectW(font, sizeof logical, &logical), static_cast<int>(sizeof logical));
      EXPECT_STREQ(logical.lfFaceName, e.face);
      EXPECT_EQ(logical.lfHeight, -e.fontHeight);
      EXPECT_EQ(logical.lfWeight, 400);
      EXPECT_EQ(logical.lfCharSet, GB2312_CHARSET);
    }
  }
}

TEST_F(MainWindowTest, SiblingOrderIsTheLayoutOrder) {
  for (HWND parent : {Control(C::Group1), window_->Handle()}) {
    std::vector<HWND> expected;
    for (const Expected& e : kLayout)
      if (GetParent(Control(e.id)) == parent) expected.push_back(Control(e.id));
    std::vector<HWND> actual;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      actual.push_back(child);
    EXPECT_EQ(actual, expected);
  }
}

TEST_F(MainWindowTest, TabVisitsTheControlsInLayoutOrder) {
  const std::vector<HWND> expected = {Control(C::Edit2),   Control(C::Button5), Control(C::List1), Control(C::Button8),
                                      Control(C::Button7), Control(C::Button4), Control(C::Edit1), Control(C::Button1)};
  std::vector<HWND> visited;
  HWND at = expected.back();
  for (std::size_t i = 0; i < expected.size(); ++i) {
    at = GetNextDlgTabItem(window_->Handle(), at, FALSE);
    visited.push_back(at);
  }
  EXPECT_EQ(visited, expected);
}

TEST_F(MainWindowTest, TextsAreTheDesignedOnes) {
  auto text = [](ControlId id) {
    wchar_t buffer[512] = {};
    GetWindowTextW(Control(id), buffer, 512);
    return std::wstring(buffer);
  };
  EXPECT_EQ(text(C::Link3), L"1.下载谷歌浏览器并安装");
  EXPECT_EQ(text(C::Label4), L"手机号：");
  EXPECT_EQ(text(C::Label2), L"程序路径：");
  EXPECT_EQ(text(C::Edit2), L"C:\\Program Files (x86)\\Google\\Chrome\\Application\\chrome.exe");
  EXPECT_EQ(text(C::Button5), L"重置序号");
  EXPECT_EQ(text(C::Label1),
            L"2.添加手机账号（勿重名）\r\n3.双击左侧手机账号实现多开\r\n4.双击左侧已开账号激活窗口\r\n"
            L"5.只有第一次需输入短信验证码\r\n  第二开启无需输入验证码\r\n\r\n  ");
  EXPECT_EQ(text(C::Button8), L"删除");
  EXPECT_EQ(text(C::Button7), L"修改");
  EXPECT_EQ(text(C::Button4), L"添加");
  EXPECT_EQ(text(C::Edit1), L"店铺一");
  EXPECT_EQ(text(C::Button1), L"清空临时文件");
  EXPECT_EQ(text(C::Group1), L"");
  const std::wstring info = text(C::Label3);
  EXPECT_EQ(info.rfind(L"1.此软件仅个人使用；\r\n2.仅支持Kestrun；\r\n3.", 0), 0u);
  EXPECT_EQ(info.substr(info.size() - 4), L"\r\n  ");
  EXPECT_EQ(std::count(info.begin(), info.end(), L'\n'), 3);
  EXPECT_FALSE(text(C::Link1).empty());
  // The edit boxes' data path is ANSI.
  EXPECT_EQ(EditBox(Control(C::Edit1)).Content(), test::Narrow(L"店铺一"));
}

TEST_F(MainWindowTest, ListIsASingleSelectionReportWithTwoColumns) {
  HWND list = Control(C::List1);
  const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_FALSE(style & LVS_SHOWSELALWAYS);  // the selection is hidden without the focus
  EXPECT_FALSE(style & (LVS_EDITLABELS | LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_NOCOLUMNHEADER));
  EXPECT_TRUE(GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  const auto extended = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  const DWORD wanted = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_INFOTIP;
  EXPECT_EQ(extended & wanted, wanted);
  EXPECT_EQ(extended & (LVS_EX_CHECKBOXES | LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE), 0u);
  EXPECT_TRUE(GetClassLongPtrW(list, GCL_STYLE) & CS_DBLCLKS);

  struct Column {
    const wchar_t* title;
    int width;
    int format;
  };
  const Column columns[] = {{L"序号", 50, LVCFMT_LEFT}, {L"手机号", 150, LVCFMT_CENTER}};
  for (int i = 0; i < 2; ++i) {
    wchar_t title[32] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = 32;
    ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(title, columns[i].title);
    EXPECT_EQ(column.cx, columns[i].width);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, columns[i].format);
  }
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
}

TEST_F(MainWindowTest, EditBoxesAreSingleLineWithoutLimitOrMode) {
  for (ControlId id : {C::Edit1, C::Edit2}) {
    HWND edit = Control(id);
    const LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_FALSE(style & (ES_MULTILINE | ES_PASSWORD | ES_NUMBER | ES_NOHIDESEL | ES_READONLY | ES_CENTER | ES_RIGHT));
    EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_GE(static_cast<unsigned long long>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEull);
  }
  for (ControlId id : {C::Button1, C::Button4, C::Button5, C::Button7, C::Button8})
    EXPECT_EQ(GetWindowLongPtrW(Control(id), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST_F(MainWindowTest, ButtonsRaiseTheirClickedEvent) {
  for (ControlId id : {C::Button4, C::Button7, C::Button8, C::Button5, C::Button1}) {
    target_->events.clear();
    SendMessageW(Control(id), BM_CLICK, 0, 0);
    PumpFor(*window_, 50ms);
    ASSERT_EQ(target_->events.size(), 1u) << ControlIndex(id);
    EXPECT_EQ(target_->events[0].source, id);
    EXPECT_EQ(target_->events[0].number, event::kButtonClicked);
  }
}

// A handler that throws leaves the window running: the exception never
// reaches user32, whether the message came through the loop, was sent
// directly, or went to the list's subclass.
TEST_F(MainWindowTest, AFailingHandlerLeavesTheWindowRunning) {
  target_->events.clear();
  target_->failing = true;
  PostMessageW(Control(C::Button4), BM_CLICK, 0, 0);
  PumpFor(*window_, 50ms);
  SendMessageW(Control(C::Button5), BM_CLICK, 0, 0);
  SendMessageW(Control(C::List1), WM_MOUSEMOVE, 0, MAKELPARAM(4, 5));
  target_->failing = false;
  SendMessageW(Control(C::Button7), BM_CLICK, 0, 0);
  PumpFor(*window_, 50ms);
  std::vector<std::pair<ControlId, int>> raised;
  for (const Raised& e : target_->events)  // the real pointer may move over the list meanwhile
    if (e.number != event::kMouseMoved || (e.args.x == 4 && e.args.y == 5)) raised.push_back({e.source, e.number});
  const std::vector<std::pair<ControlId, int>> expected = {{C::Button4, event::kButtonClicked},
                                                           {C::Button5, event::kButtonClicked},
                                                           {C::List1, event::kMouseMoved},
                                                           {C::Button7, event::kButtonClicked}};
  EXPECT_EQ(raised, expected);
  EXPECT_TRUE(IsWindow(window_->Handle()));
}

TEST_F(MainWindowTest, ListMouseEventsCarryUnsignedPositionHalves) {
  target_->events.clear();
  SendMessageW(Control(C::List1), WM_MOUSEMOVE, 0, MAKELPARAM(-3, 7));
  ASSERT_FALSE(target_->events.empty());
  const Raised& moved = target_->events[0];
  EXPECT_EQ(moved.source, C::List1);
  EXPECT_EQ(moved.number, event::kMouseMoved);
  EXPECT_EQ(moved.args.x, 65533);
  EXPECT_EQ(moved.args.y, 7);
  EXPECT_EQ(moved.args.keys, 0);
}

TEST_F(MainWindowTest, PressOnARowIsRaisedBeforeTheListSelectsIt) {
  HWND list = Control(C::List1);
  ReportList(list).SetContent(Rows({"a", "b", "c"}));
  RECT row = {LVIR_BOUNDS};
  ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
  const int x = 30, y = (row.top + row.bottom) / 2;
  PauseBetweenClicks();
  target_->events.clear();
  Click(ScreenPoint(list, x, y));
  ASSERT_TRUE(PumpUntil(*window_, [] { return target_->Count(C::List1, event::kListClicked) > 0; }));

  const auto& events = target_->events;
  auto pressed = std::find_if(events.begin(), events.end(), [](const Raised& e) { return e.number == -1; });
  ASSERT_NE(pressed, events.end());
  EXPECT_EQ(pressed->source, C::List1);
  EXPECT_EQ(pressed->args.x, x);
  EXPECT_EQ(pressed->args.y, y);
  EXPECT_EQ(pressed->selectedRow, -1);
  auto clicked = std::find_if(pressed, events.end(), [](const Raised& e) { return e.number == event::kListClicked; });
  ASSERT_NE(clicked, events.end());
  EXPECT_EQ(clicked->selectedRow, 1);

  // A second press at once makes a double-click on the row.
  Click(ScreenPoint(list, x, y));
  EXPECT_TRUE(PumpUntil(*window_, [] { return target_->Count(C::List1, event::kLeftDoubleClick) > 0; }));
  ReportList(list).SetContent({});
}

// Keys and characters typed into the list are raised before the list sees
// them, with the key state; one that the handler uses up never reaches the
// list (the arrow does not move the selection, the digit does not find its row
// by the list's own type-ahead on the sequence numbers).
TEST_F(MainWindowTest, ListKeysAreRaisedFirstAndAUsedUpOneNeverReachesTheList) {
  struct Case {
    const char* name;
    std::vector<WORD> modifiers;
    WORD key;
    int number;    // the event the handler uses up, 0 none
    int expected;  // the event looked for
    std::int32_t code;
    std::int32_t keys;
    std::int32_t selectedAfter;
  };
  const Case cases[] = {
      {"down arrow", {}, VK_DOWN, 0, event::kKeyPressed, VK_DOWN, 0, 1},
      {"down arrow used up", {}, VK_DOWN, event::kKeyPressed, event::kKeyPressed, VK_DOWN, 0, 0},
      {"ctrl+shift+end", {VK_CONTROL, VK_SHIFT}, VK_END, 0, event::kKeyPressed, VK_END, 3, 2},
      {"alt+down is a system key", {VK_MENU}, VK_DOWN, event::kKeyPressed, event::kKeyPressed, VK_DOWN, 4, 0},
      {"digit", {}, '3', 0, event::kCharTyped, '3', 0, 2},
      {"digit used up", {}, '3', event::kCharTyped, event::kCharTyped, '3', 0, 0},
      {"shift+letter", {VK_SHIFT}, 'B', 0, event::kCharTyped, 'B', 2, 0},
      {"ctrl+c is a control character", {VK_CONTROL}, 'C', 0, event::kCharTyped, 3, 1, 0},
  };
  HWND list = Control(C::List1);
  ReportList(list).SetContent(Rows({"a", "b", "c"}));
  SetFocus(list);
  ASSERT_TRUE(PumpUntil(*window_, [&] { return GetFocus() == list; }));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReportList(list).SetSelectedRow(0);
    PumpFor(*window_, 1100ms);  // the list's own type-ahead forgets what was typed
    target_->events.clear();
    target_->usedUp = [&](int number, const EventArgs&) { return number == c.number; };
    test::TapKeyWith(c.modifiers, c.key);
    auto raised = [&] {
      return std::find_if(target_->events.begin(), target_->events.end(), [&](const Raised& e) {
        return e.source == C::List1 && e.number == c.expected && e.args.code == c.code;
      });
    };
    ASSERT_TRUE(PumpUntil(*window_, [&] { return raised() != target_->events.end(); }));
    PumpFor(*window_, 100ms);
    EXPECT_EQ(raised()->args.keys, c.keys);
    EXPECT_EQ(raised()->selectedRow, 0);
    EXPECT_EQ(ReportList(list).SelectedRow(), c.selectedAfter);
  }
  target_->usedUp = nullptr;
  ReportList(list).SetContent({});
}

TEST_F(MainWindowTest, InfoTipOfARowComesFromItsContent) {
  HWND list = Control(C::List1);
  ContentRecord row;
  row.text = "1";
  row.secondText = test::Narrow(L"提示 tip");
  ReportList(list).SetContent(EncodeRecord(row));
  wchar_t buffer[64] = L"untouched";
  NMLVGETINFOTIPW request = {};
  request.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), LVN_GETINFOTIPW};
  request.pszText = buffer;
  request.cchTextMax = 64;
  request.iItem = 0;
  // Sent where the list sends it: to the group box, which passes it on.
  SendMessageW(GetParent(list), WM_NOTIFY, request.hdr.idFrom, reinterpret_cast<LPARAM>(&request));
  EXPECT_STREQ(buffer, L"提示 tip");
  ReportList(list).SetContent({});
}

TEST_F(MainWindowTest, HyperlinkHoldsTheMouseWhileHovered) {
  HWND link = Control(C::Link1);
  SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
  SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetCapture(), link);
  SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MainWindowTest, PressOnBackgroundLabelGroupOrPictureMovesTheWindow) {
  struct Case {
    const char* name;
    ControlId where;
    int x, y;  // client coordinates of `where`
    bool moves;
  };
  const Case cases[] = {
      {"help label", C::Label1, 100, 20, true},   {"group box", C::Group1, 460, 300, true},
      {"picture box", C::Picture1, 8, 100, true}, {"window background", C::MainWindow, 3, 200, true},
      {"list", C::List1, 100, 200, false},        {"edit box", C::Edit1, 20, 10, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PauseBetweenClicks();
    const RECT before = WindowRect(window_->Handle());
    const POINT from = ScreenPoint(Control(c.where), c.x, c.y);
    Drag(from, {from.x + 40, from.y + 30});
    auto moved = [&] { return WindowRect(window_->Handle()).left != before.left; };
    if (c.moves) {
      ASSERT_TRUE(PumpUntil(*window_, moved));
      const RECT after = WindowRect(window_->Handle());
      EXPECT_EQ(after.left - before.left, 40);
      EXPECT_EQ(after.top - before.top, 30);
      EXPECT_EQ(after.right - after.left, 691);
    } else {
      EXPECT_FALSE(PumpUntil(*window_, moved, 1s));
    }
  }
}

TEST_F(MainWindowTest, EmbeddedPictureDecodes) {
  HBITMAP picture = LoadPictureResource(GetModuleHandleW(nullptr), KL_PICTURE_RESOURCE);
  ASSERT_NE(picture, nullptr);
  BITMAP info = {};
  GetObjectW(picture, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 258);
  EXPECT_EQ(info.bmHeight, 258);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, picture);
  const COLORREF corner = GetPixel(dc, 2, 2);  // the dark blue edge of the emblem
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(picture);
  EXPECT_GT(GetBValue(corner), GetRValue(corner) + 40);
  EXPECT_EQ(DecodePicture("not a picture", 13), nullptr);
}

// The window shows the embedded picture in its box: the emblem's dark blue
// edge where the fitted picture begins, the button face beside it.
TEST_F(MainWindowTest, PictureBoxShowsTheEmbeddedPicture) {
  HWND box = Control(C::Picture1);
  ASSERT_NE(box, nullptr);
  auto pixel = [&](int x, int y) {
    HDC dc = GetDC(box);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(box, dc);
    return colour;
  };
  // The 258-pixel picture fits the 200 x 168 box as {16, 0, 184, 168}.
  auto edgeIsBlue = [&] {
    const COLORREF edge = pixel(18, 2);
    return GetBValue(edge) > GetRValue(edge) + 40;
  };
  for (int tries = 0; tries < 50 && !edgeIsBlue(); ++tries) {
    InvalidateRect(box, nullptr, FALSE);
    PumpFor(*window_, 100ms);
  }
  EXPECT_TRUE(edgeIsBlue());
  EXPECT_EQ(pixel(6, 80), GetSysColor(COLOR_BTNFACE));
}

// A scheme of the test's own, opened by the fake browser, which logs the line
// it is started with; removed afterwards.
class OwnScheme {
 public:
  static constexpr char kKey[] = "kltestscheme";
  explicit OwnScheme(const std::string& command) {
    UniqueRegKey scheme, open;
    registered_ = RegCreateKeyExA(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, scheme.put(),
                                  nullptr) == ERROR_SUCCESS &&
                  RegSetValueExA(scheme.get(), "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1) ==
                      ERROR_SUCCESS &&
                  RegCreateKeyExA(scheme.get(), "shell\\open\\command", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  open.put(), nullptr) == ERROR_SUCCESS &&
                  RegSetValueExA(open.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                 static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
  }
  ~OwnScheme() { RegDeleteTreeA(HKEY_CLASSES_ROOT, kKey); }
  OwnScheme(const OwnScheme&) = delete;
  OwnScheme& operator=(const OwnScheme&) = delete;
  bool registered() const { return registered_; }

 private:
  bool registered_ = false;
};

TEST(OpenWebAddressTest, ShellStartsTheCommandRegisteredForTheAddress) {
  test::TempFolder folder;
  const std::string log = folder / "opened.log";
  ASSERT_TRUE(SetEnvironmentVariableA("KL_FAKE_BROWSER_LOG", log.c_str()));
  const std::string browser = "\"" + test::BinFolder() + "\\fake-browser.exe\"";
  OwnScheme scheme(browser + " \"%1\"");
  ASSERT_TRUE(scheme.registered());

  EXPECT_TRUE(OpenWebAddress(L"kltestscheme://shop/page"));
  EXPECT_TRUE(test::WaitUntil([&] { return !test::ReadWholeFile(log).empty(); }));
  EXPECT_EQ(test::ReadWholeFile(log), browser + " \"kltestscheme://shop/page\"\r\n");
  SetEnvironmentVariableA("KL_FAKE_BROWSER_LOG", nullptr);
}

// A window of its own: this one is closed.
TEST_F(MainWindowTest, EscapeInAnEditBoxClosesTheWindowOnce) {
  RecordingTarget target;
  MainWindow window(target);
  ASSERT_TRUE(window.Create());
  ShowWindow(window.Handle(), SW_SHOWNORMAL);
  SetForegroundWindow(window.Handle());
  SetFocus(window.Control(C::Edit1));
  ASSERT_TRUE(PumpUntil(window, [&] { return GetFocus() == window.Control(C::Edit1); }));
  test::TapKey(VK_ESCAPE);
  EXPECT_TRUE(PumpUntil(window, [&] { return window.Handle() == nullptr; }));
  EXPECT_EQ(target.Count(C::MainWindow, event::kWindowDestroyed), 1);
}

}  // namespace

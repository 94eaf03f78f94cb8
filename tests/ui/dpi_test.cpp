// The window at the resolutions the program supports. Under Wine the system
// resolution is the LogPixels value of the user's desktop settings, read when
// a process starts: LogPixelsTest sets it and starts this program again (the
// AtSystemDpi cases, which build the window in that process and measure its
// captions) and the real program (whose rectangles it compares from outside).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/list_content.h"
#include "ui/controls.h"
#include "ui/dpi.h"
#include "ui/label_fit.h"
#include "ui/layout.h"
#include "ui/main_window.h"
#include "win_test_support.h"

namespace {

using namespace std::chrono_literals;
using C = ControlId;

constexpr char kExpectedDpiVariable[] = "KL_EXPECT_DPI";

// The window's outer size and every control's rectangle in its parent, each
// the 96-dpi table scaled, labels included; works on a window of another
// process too.
void ExpectScaledLayout(HWND window, int dpi) {
  RECT outer = {};
  ASSERT_TRUE(GetWindowRect(window, &outer));
  const SIZE size = ScaledWindowSize(dpi);
  EXPECT_EQ(outer.right - outer.left, size.cx);
  EXPECT_EQ(outer.bottom - outer.top, size.cy);
  HWND group = GetDlgItem(window, ControlCommandId(C::Group1));
  ASSERT_NE(group, nullptr);
  for (const ControlEntry& entry : kControls) {
    SCOPED_TRACE("control " + std::to_string(ControlIndex(entry.id)));
    HWND parent = entry.inGroup ? group : window;
    HWND control = GetDlgItem(parent, ControlCommandId(entry.id));
    ASSERT_NE(control, nullptr);
    RECT at = {};
    GetWindowRect(control, &at);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&at), 2);
    const RECT expected = {MulDiv(entry.left, dpi, 96), MulDiv(entry.top, dpi, 96),
                           MulDiv(entry.left, dpi, 96) + MulDiv(entry.width, dpi, 96),
                           MulDiv(entry.top, dpi, 96) + MulDiv(entry.height, dpi, 96)};
    EXPECT_TRUE(EqualRect(&at, &expected))
        << "(" << at.left << ", " << at.top << ")-(" << at.right << ", " << at.bottom << ") instead of ("
        << expected.left << ", " << expected.top << ")-(" << expected.right << ", " << expected.bottom << ")";
  }
}

// --- Measuring captions --------------------------------------------------------

std::wstring Caption(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A label's blank tail (empty lines, spaces) draws nothing and may be clipped.
std::wstring WithoutBlankTail(std::wstring text) {
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
  return text;
}

// The extent of a text in a control's own font (or in `font`): DrawText's
// measurement, on one line or wrapped at `wrapWidth` as a label wraps it.
SIZE TextExtent(HWND control, const std::wstring& text, int wrapWidth = 0, HFONT font = nullptr) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font ? font : reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT r = {0, 0, wrapWidth, 0};
  const UINT format =
      DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (wrapWidth > 0 ? static_cast<UINT>(DT_WORDBREAK) : DT_SINGLELINE);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return {r.right - r.left, r.bottom - r.top};
}

int FontLineHeight(HWND control) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return metrics.tmHeight;
}

SIZE ClientSize(HWND control) {
  RECT r = {};
  GetClientRect(control, &r);
  return {r.right, r.bottom};
}

// --- In this process, at the resolution it was started with -----------------

class AtSystemDpi : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    window_ = new MainWindow(target_);
    if (!window_->Create()) return;
    ShowWindow(window_->Handle(), SW_SHOWNORMAL);
    test::PumpMessagesFor(300ms);
  }
  static void TearDownTestSuite() {
    delete window_;
    window_ = nullptr;
    OleUninitialize();
  }
  void SetUp() override { ASSERT_NE(window_->Handle(), nullptr); }

  static int Dpi() { return WindowDpi(window_->Handle()); }
  static HWND Control(ControlId id) { return window_->Control(id); }

  struct NoTarget : EventTarget {
    void ControlsReady(const ControlWindows&) override {}
    bool Raise(ControlId, int, const EventArgs&) override { return false; }
  };
  static NoTarget target_;
  static MainWindow* window_;
};

AtSystemDpi::NoTarget AtSystemDpi::target_;
MainWindow* AtSystemDpi::window_ = nullptr;

TEST_F(AtSystemDpi, WindowTakesTheSystemResolution) {
  if (const char* expected = std::getenv(kExpectedDpiVariable)) {
    EXPECT_EQ(SystemDpi(), std::atoi(expected));
    EXPECT_EQ(Dpi(), std::atoi(expected));
  } else {
    EXPECT_EQ(Dpi(), SystemDpi());
  }
}

TEST_F(AtSystemDpi, WindowAndControlsAreTheTableScaled) {
  ExpectScaledLayout(window_->Handle(), Dpi());
  RECT outer = {};
  GetWindowRect(window_->Handle(), &outer);
  const SIZE size = ScaledWindowSize(Dpi());
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2);
}

// A label's font smaller than the layout's by `reduced` pixels of character
// height: its text (blank tail excluded) fits the label, and with any
// reduction at all, one pixel larger would not have.
void ExpectLabelFontIsTheLargestThatFits(HWND label, const LOGFONTW& logical, LONG reduced) {
  const std::wstring text = WithoutBlankTail(Caption(label));
  const SIZE box = ClientSize(label);
  EXPECT_LE(TextExtent(label, text, box.cx).cy, box.cy) << test::Narrow(text);
  if (reduced == 0) return;
  LOGFONTW larger = logical;
  larger.lfHeight += logical.lfHeight < 0 ? -1 : 1;
  HFONT font = CreateFontIndirectW(&larger);
  ASSERT_NE(font, nullptr);
  EXPECT_GT(TextExtent(label, text, box.cx, font).cy, box.cy) << "a pixel larger fits too";
  DeleteObject(font);
}

// Every control's font and the list's column widths at `dpi`. A label may
// have the same font a little smaller, only as much as its text needs.
void ExpectScaledFontsAndColumns(const MainWindow& window, int dpi) {
  struct Case {
    ControlId id;
    const wchar_t* face;  // nullptr: the default GUI font
    int height;
  };
  const Case cases[] = {{C::List1, L"楷体", 16},     {C::Edit1, L"楷体", 16},      {C::Link3, L"华文中宋", 16},
                        {C::Link1, L"华文中宋", 16}, {C::Label1, L"华文中宋", 14}, {C::Label3, L"华文中宋", 14},
                        {C::Button4, nullptr, 0},    {C::Label4, nullptr, 0},      {C::Label2, nullptr, 0},
                        {C::Edit2, nullptr, 0}};
  const auto stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW standard = {};
  GetObjectW(stock, sizeof standard, &standard);
  for (const Case& c : cases) {
    SCOPED_TRACE(ControlIndex(c.id));
    HWND control = window.Control(c.id);
    const bool label = kControls[static_cast<std::size_t>(ControlIndex(c.id))].kind == ControlKind::Label;
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (!c.face && dpi == SystemDpi() && (!label || font == stock)) {
      EXPECT_EQ(font, stock);  // made at the system resolution
      if (label) ExpectLabelFontIsTheLargestThatFits(control, standard, 0);
      continue;
    }
    LOGFONTW logical = {};
    ASSERT_EQ(GetObjectW(font, sizeof logical, &logical), static_cast<int>(sizeof logical));
    LOGFONTW expected = standard;
    if (c.face) {
      lstrcpynW(expected.lfFaceName, c.face, LF_FACESIZE);
      expected.lfHeight = -MulDiv(c.height, dpi, 96);
      expected.lfWeight = FW_NORMAL;
      expected.lfCharSet = GB2312_CHARSET;
    } else {
      expected.lfHeight = MulDiv(standard.lfHeight, dpi, SystemDpi());
    }
    EXPECT_STREQ(logical.lfFaceName, expected.lfFaceName);
    EXPECT_EQ(logical.lfWeight, expected.lfWeight);
    EXPECT_EQ(logical.lfCharSet, expected.lfCharSet);
    if (!label) {
      EXPECT_EQ(logical.lfHeight, expected.lfHeight);
      continue;
    }
    EXPECT_EQ(logical.lfHeight < 0, expected.lfHeight < 0);
    const LONG reduced = std::abs(expected.lfHeight) - std::abs(logical.lfHeight);
    EXPECT_GE(reduced, 0);
    EXPECT_LE(reduced, MulDiv(kLabelFontReductionLimit, dpi, 96));
    std::printf("label %d: font height %ld px at %d dpi (scaled %ld)\n", ControlIndex(c.id), std::abs(logical.lfHeight),
                dpi, std::abs(expected.lfHeight));
    ExpectLabelFontIsTheLargestThatFits(control, logical, reduced);
  }
  HWND list = window.Control(C::List1);
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), MulDiv(50, dpi, 96));
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), MulDiv(150, dpi, 96));
}

TEST_F(AtSystemDpi, FontsAndColumnWidthsAreScaled) { ExpectScaledFontsAndColumns(*window_, Dpi()); }

// Where the picture box draws its picture: the bounds of what is not its
// background, drawn into a bitmap of the box's size.
RECT DrawnPictureBounds(HWND box) {
  RECT client = {};
  GetClientRect(box, &client);
  BITMAPINFO format = {};
  format.bmiHeader = {sizeof format.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP canvas = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, canvas);
  SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const DWORD background = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
  RECT bounds = {client.right, client.bottom, 0, 0};
  const auto* pixels = static_cast<const DWORD*>(bits);
  for (LONG y = 0; y < client.bottom; ++y)
    for (LONG x = 0; x < client.right; ++x)
      if ((pixels[y * client.right + x] & 0xFFFFFF) != background) {
        bounds.left = std::min(bounds.left, x);
        bounds.top = std::min(bounds.top, y);
        bounds.right = std::max(bounds.right, x + 1);
        bounds.bottom = std::max(bounds.bottom, y + 1);
      }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(canvas);
  return bounds;
}

// 168 x 168, 16 pixels in from the left, at 96 dpi.
void ExpectScaledPicture(HWND box, int dpi) {
  const RECT bounds = DrawnPictureBounds(box);
  const int side = MulDiv(168, dpi, 96);
  const int left = (MulDiv(200, dpi, 96) - side) / 2;
  EXPECT_NEAR(bounds.left, left, 1);
  EXPECT_EQ(bounds.top, 0);
  EXPECT_NEAR(bounds.right - bounds.left, side, 1);
  EXPECT_EQ(bounds.bottom - bounds.top, side);
}

TEST_F(AtSystemDpi, PictureIsDrawnAtItsScaledSize) { ExpectScaledPicture(Control(C::Picture1), Dpi()); }

// Dragged to a screen of another resolution and back: the window takes the
// suggested rectangle and everything in it is scaled anew each time.
TEST_F(AtSystemDpi, MovingToAnotherResolutionScalesEverythingAnew) {
  HWND window = window_->Handle();
  RECT before = {};
  GetWindowRect(window, &before);
  const int home = Dpi();
  for (int dpi : {home == 96 ? 144 : 96, home}) {
    SCOPED_TRACE("moved to " + std::to_string(dpi) + " dpi");
    const SIZE size = ScaledWindowSize(dpi);
    const RECT suggested = {before.left + 10, before.top + 20, before.left + 10 + size.cx, before.top + 20 + size.cy};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT now = {};
    GetWindowRect(window, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    ExpectScaledLayout(window, dpi);
    ExpectScaledFontsAndColumns(*window_, dpi);
    ExpectScaledPicture(Control(C::Picture1), dpi);
  }
  SetWindowPos(window, nullptr, before.left, before.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Captions fit ------------------------------------------------------------

TEST_F(AtSystemDpi, NoCaptionIsClipped) {
  const int dpi = Dpi();
  // A push button draws inside its raised edge and the focus mark's line.
  const int buttonInset = 2 * MulDiv(3, dpi, 96);
  // An edit box keeps a margin each side of its text.
  const int editInset = 2 * MulDiv(2, dpi, 96);
  enum class Drawn { Button, OneLine, Wrapped, EditLine, ScrolledEditLine };
  struct Case {
    ControlId id;
    Drawn drawn;
  };
  const Case cases[] = {
      {C::Link3, Drawn::OneLine},          {C::Label4, Drawn::Wrapped}, {C::Label2, Drawn::Wrapped},
      {C::Edit2, Drawn::ScrolledEditLine},  // a long path scrolls in its box
      {C::Button5, Drawn::Button},         {C::Label1, Drawn::Wrapped}, {C::Button8, Drawn::Button},
      {C::Button7, Drawn::Button},         {C::Button4, Drawn::Button}, {C::Edit1, Drawn::EditLine},
      {C::Button1, Drawn::Button},         {C::Link1, Drawn::OneLine},  {C::Label3, Drawn::Wrapped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ControlIndex(c.id));
    HWND control = Control(c.id);
    const SIZE box = ClientSize(control);
    const std::wstring text = Caption(control);
    SIZE room = box;
    SIZE needed = {};
    switch (c.drawn) {
      case Drawn::Button:
        room = {box.cx - buttonInset, box.cy - buttonInset};
        needed = TextExtent(control, text);
        break;
      case Drawn::OneLine:
        needed = TextExtent(control, text);
        break;
      case Drawn::Wrapped:
        needed = TextExtent(control, WithoutBlankTail(text), box.cx);
        break;
      case Drawn::EditLine:
        room = {box.cx - editInset, box.cy};
        needed = TextExtent(control, text);
        break;
      case Drawn::ScrolledEditLine:
        needed = {0, FontLineHeight(control)};
        break;
    }
    EXPECT_LE(needed.cx, room.cx) << test::Narrow(text);
    EXPECT_LE(needed.cy, room.cy) << test::Narrow(text);
  }
}

TEST_F(AtSystemDpi, ListTitlesAndAccountsFitTheirColumns) {
  const int dpi = Dpi();
  HWND list = Control(C::List1);
  ReportList(list).SetContent([] {
    Bytes rows;
    for (const Bytes& part : {EncodeRowRecord(-1, 0, "1"), EncodeCellRecord(-1, "13800000000"),
                              EncodeRowRecord(-1, 0, "2"), EncodeCellRecord(-1, test::Narrow(L"店铺一号"))})
      rows.insert(rows.end(), part.begin(), part.end());
    return rows;
  }());
  // A header item and a cell keep a margin each side of their text.
  const int margin = 2 * MulDiv(6, dpi, 96);
  auto width = [&](const std::wstring& text) {
    return static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
  };
  const wchar_t* titles[] = {L"序号", L"手机号"};
  for (int column = 0; column < 2; ++column)
    EXPECT_LE(width(titles[column]) + margin, SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)) << column;
  for (const wchar_t* account : {L"13800000000", L"店铺一号"})
    EXPECT_LE(width(account) + margin, SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0)) << test::Narrow(account);

  const int line = FontLineHeight(list);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  EXPECT_GE(ClientSize(header).cy, line);
  RECT row = {LVIR_BOUNDS};
  ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
  EXPECT_GE(row.bottom - row.top, line);
  ReportList(list).SetContent({});
}

// --- The resolution set the way a user sets it -------------------------------

// Sets the desktop's LogPixels for the processes started while it lives, and
// puts the former value back.
class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = sizeof former_;
    DWORD type = 0;
    hadValue_ = RegQueryValueExW(key_, L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&former_), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD;
    set_ = RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
           ERROR_SUCCESS;
  }
  ~ScopedLogPixels() {
    if (key_ == nullptr) return;
    if (hadValue_)
      RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&former_), sizeof former_);
    else
      RegDeleteValueW(key_, L"LogPixels");
    RegCloseKey(key_);
  }
  ScopedLogPixels(const ScopedLogPixels&) = delete;
  ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;
  bool set() const { return set_; }

 private:
  HKEY key_ = nullptr;
  DWORD former_ = 0;
  bool hadValue_ = false;
  bool set_ = false;
};

std::string ThisProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// One supported resolution, set for the processes each case starts.
class LogPixelsTest : public ::testing::TestWithParam<int> {
 protected:
  ScopedLogPixels logPixels_{static_cast<DWORD>(GetParam())};
  void SetUp() override { ASSERT_TRUE(logPixels_.set()); }
};

TEST_P(LogPixelsTest, WindowIsScaledAndNoCaptionIsClipped) {
  const int dpi = GetParam();
  test::ChildProcess child;
  ASSERT_TRUE(child.Start("\"" + ThisProgram() + "\" --gtest_color=no --gtest_filter=AtSystemDpi.*", {},
                          {std::string(kExpectedDpiVariable) + "=" + std::to_string(dpi)}));
  DWORD exitCode = 1;
  ASSERT_TRUE(child.WaitForExit(exitCode, 60s));
  EXPECT_EQ(exitCode, 0u) << "the window measured at " << dpi << " dpi (its report is above)";
}

TEST_P(LogPixelsTest, ProgramIsScaled) {
  test::TempFolder folder;
  ASSERT_TRUE(test::CopyFromBin("KestrunLauncher.exe", folder.path()));
  test::ChildProcess program;
  ASSERT_TRUE(program.Start("\"" + (folder / "KestrunLauncher.exe") + "\"", folder.path()));
  HWND window = test::WaitForProcessWindow(program.id(), test::Narrow(L"仅支持Kestrun"), 30s);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(window) != 0; }));
  ExpectScaledLayout(window, GetParam());
  PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD exitCode = 1;
  ASSERT_TRUE(program.WaitForExit(exitCode));
  EXPECT_EQ(exitCode, 0u);
}

INSTANTIATE_TEST_SUITE_P(SupportedResolutions, LogPixelsTest, ::testing::Values(96, 120, 144, 192));

}  // namespace

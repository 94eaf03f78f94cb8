// The window's calculations that need no window.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include "ui/events.h"
#include "ui/hyperlink.h"

namespace {

TEST(LayoutTest, WindowIsCentredByIntegerDivisionWithItsScaledSize) {
  struct Case {
    int width, height, dpi;
    POINT origin;
  };
  const Case cases[] = {
      {1280, 1024, 96, {294, 305}},  {1920, 1080, 96, {614, 333}}, {1366, 768, 96, {337, 177}},
      {691, 414, 96, {0, 0}},        {640, 400, 96, {-25, -7}},  // a screen smaller than the window
      {1920, 1080, 120, {528, 281}},                             // 864 x 518
      {1920, 1080, 144, {441, 229}},                             // 1037 x 621 (1036.5 rounded up)
      {2560, 1440, 192, {589, 306}},                             // 1382 x 828
      {1280, 1024, 192, {-51, 98}},                              // wider than the screen
  };
  for (const Case& c : cases) {
    const POINT origin = CentredWindowOrigin(c.width, c.height, c.dpi);
    EXPECT_EQ(origin.x, c.origin.x) << c.width << " at " << c.dpi;
    EXPECT_EQ(origin.y, c.origin.y) << c.height << " at " << c.dpi;
  }
}

// Lengths round to the nearest pixel (halves away from zero), and a
// rectangle's right and bottom come from its scaled width and height.
TEST(LayoutTest, LayoutScalesToTheNearestPixel) {
  struct Case {
    int value, dpi, scaled;
  };
  const Case lengths[] = {{691, 96, 691},  {691, 120, 864}, {691, 144, 1037}, {691, 192, 1382},
                          {253, 120, 316}, {221, 144, 332}, {15, 144, 23},    {-11, 144, -17}};
  for (const Case& c : lengths) EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;

  const ControlEntry& label = kControls[static_cast<std::size_t>(ControlIndex(ControlId::Label4))];
  const RECT at120 = ScaledControlRect(label, 120);  // 253, 68, 48 x 24
  EXPECT_EQ(at120.left, 316);
  EXPECT_EQ(at120.top, 85);
  EXPECT_EQ(at120.right, 316 + 60);
  EXPECT_EQ(at120.bottom, 85 + 30);
  const SIZE window = ScaledWindowSize(144);
  EXPECT_EQ(window.cx, 1037);
  EXPECT_EQ(window.cy, 621);
}

TEST(LayoutTest, PictureFitsInCentredMode) {
  struct Case {
    const char* name;
    SIZE box, picture;
    RECT drawn;
  };
  const Case cases[] = {
      {"the panel's picture", {200, 168}, {258, 258}, {16, 0, 184, 168}},
      {"smaller than the box keeps its size", {200, 168}, {100, 50}, {50, 59, 150, 109}},
      {"same size", {200, 168}, {200, 168}, {0, 0, 200, 168}},
      {"too wide only", {200, 168}, {400, 100}, {0, 59, 200, 109}},
      {"too tall only", {200, 168}, {100, 336}, {75, 0, 125, 168}},
      {"empty picture", {200, 168}, {0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const RECT r = FitPicture(c.box, c.picture);
    EXPECT_EQ(r.left, c.drawn.left) << c.name;
    EXPECT_EQ(r.top, c.drawn.top) << c.name;
    EXPECT_EQ(r.right, c.drawn.right) << c.name;
    EXPECT_EQ(r.bottom, c.drawn.bottom) << c.name;
  }
}

TEST(LayoutTest, KeyStateBits) {
  EXPECT_EQ(KeyStateBits(false, false, false), 0);
  EXPECT_EQ(KeyStateBits(true, false, false), 1);
  EXPECT_EQ(KeyStateBits(false, true, false), 2);
  EXPECT_EQ(KeyStateBits(false, false, true), 4);
  EXPECT_EQ(KeyStateBits(true, true, true), 7);
}

TEST(LayoutTest, PositionHalvesAreUnsigned) {
  struct Case {
    LPARAM position;
    std::int32_t x, y;
  };
  const Case cases[] = {
      {MAKELPARAM(5, 7), 5, 7},
      {MAKELPARAM(-1, 3), 65535, 3},            // left of the control while it holds the mouse
      {MAKELPARAM(10, -20), 10, 65516},         // above it
      {static_cast<LPARAM>(-1), 65535, 65535},  // sign-extended on 64-bit
  };
  for (const Case& c : cases) {
    const MousePosition at = UnpackPosition(c.position);
    EXPECT_EQ(at.x, c.x);
    EXPECT_EQ(at.y, c.y);
  }
}

TEST(LayoutTest, MouseMessagesRaiseTheirCommonEvents) {
  EXPECT_EQ(MouseEventNumber(WM_LBUTTONDOWN), -1);
  EXPECT_EQ(MouseEventNumber(WM_LBUTTONUP), -2);
  EXPECT_EQ(MouseEventNumber(WM_LBUTTONDBLCLK), -3);
  EXPECT_EQ(MouseEventNumber(WM_RBUTTONDOWN), -4);
  EXPECT_EQ(MouseEventNumber(WM_RBUTTONUP), -5);
  EXPECT_EQ(MouseEventNumber(WM_MOUSEMOVE), -6);
  EXPECT_EQ(MouseEventNumber(WM_KEYDOWN), 0);
}

TEST(LayoutTest, LinkColours) {
  EXPECT_EQ(LinkColour(false, false), RGB(0, 0, 255));
  EXPECT_EQ(LinkColour(false, true), RGB(128, 0, 0));
  EXPECT_EQ(LinkColour(true, false), RGB(10, 36, 106));
  EXPECT_EQ(LinkColour(true, true), RGB(10, 36, 106));
}

TEST(LayoutTest, RegisteredPageCommandTakesTheAddressAfterASpace) {
  const std::wstring address = L"https://www.google.com/chrome/";
  struct Case {
    const wchar_t* registered;
    const wchar_t* command;
  };
  const Case cases[] = {
      {L"\"C:\\B\\browser.exe\" -- \"%1\"", L"\"C:\\B\\browser.exe\" --"},
      {L"\"C:\\B\\browser.exe\" %1", L"\"C:\\B\\browser.exe\""},
      {L"C:\\B\\browser.exe -nohome", L"C:\\B\\browser.exe -nohome"},  // no placeholder
      {L"\"C:\\B\\browser.exe\" \"%1\" -new", L"\"C:\\B\\browser.exe\""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BrowserCommandFor(c.registered, address), std::wstring(c.command) + L" " + address);
}

TEST(LayoutTest, TableIsInCreationOrder) {
  for (int i = 0; i < kControlCount; ++i) EXPECT_EQ(ControlIndex(kControls[static_cast<std::size_t>(i)].id), i);
}

}  // namespace

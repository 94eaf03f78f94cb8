#include "ui/layout.h"

#include <commctrl.h>

namespace {

constexpr wchar_t kHelpText[] =
    L"2.添加手机账号（勿重名）\r\n"
    L"3.双击左侧手机账号实现多开\r\n"
    L"4.双击左侧已开账号激活窗口\r\n"
    L"5.只有第一次需输入短信验证码\r\n"
    L"  第二开启无需输入验证码\r\n"
    L"\r\n"
    L"  ";

constexpr wchar_t kInfoText[] =
    L"1.此软件仅个人使用；\r\n"
    L"2.仅支持Kestrun；\r\n"
    L"3.联系：help@kestrun.com\r\n"
    L"  ";

constexpr wchar_t kBrowserDownload[] = L"https://www.google.com/chrome/";
constexpr wchar_t kFollowPage[] = L"https://merchant.kestrun.com/follow";

using K = ControlKind;
using F = FontId;
using C = ControlId;

}  // namespace

const wchar_t kWindowCaption[] = L"仅支持Kestrun";

const std::array<FontSpec, 4> kFonts = {{
    {L"", 0},
    {L"楷体", 16},
    {L"华文中宋", 16},
    {L"华文中宋", 14},
}};

// clang-format off
const std::array<ControlEntry, kControlCount> kControls = {{
    // id          kind           group  left  top  width height text                   font        tab    address
    {C::Link3,    K::Hyperlink,  true,  244, 168, 200,  20, L"1.下载谷歌浏览器并安装", F::F2,      false, kBrowserDownload},
    {C::Label4,   K::Label,      true,  253,  68,  48,  24, L"手机号：",               F::Default, false, nullptr},
    {C::Label2,   K::Label,      true,  248,  24,  56,  32, L"程序路径：",             F::Default, false, nullptr},
    {C::Edit2,    K::EditBox,    true,  310,  26, 168,  32,
     L"C:\\Program Files (x86)\\Google\\Chrome\\Application\\chrome.exe",              F::Default, true,  nullptr},
    {C::Button5,  K::Button,     true,  418, 115,  56,  32, L"重置序号",               F::Default, true,  nullptr},
    {C::List1,    K::ReportList, true,    8,  16, 221, 344, L"",                       F::F1,      true,  nullptr},
    {C::Label1,   K::Label,      true,  257, 195, 200,  80, kHelpText,                 F::F3,      false, nullptr},
    {C::Button8,  K::Button,     true,  360, 115,  56,  32, L"删除",                   F::Default, true,  nullptr},
    {C::Button7,  K::Button,     true,  303, 115,  56,  32, L"修改",                   F::Default, true,  nullptr},
    {C::Button4,  K::Button,     true,  245, 115,  56,  32, L"添加",                   F::Default, true,  nullptr},
    {C::Edit1,    K::EditBox,    true,  312,  65, 168,  32, L"店铺一",                 F::F1,      true,  nullptr},
    {C::Button1,  K::Button,     true,  296, 293, 136,  32, L"清空临时文件",           F::Default, true,  nullptr},
    {C::Group1,   K::GroupBox,   false,   8,   8, 488, 368, L"",                       F::Default, false, nullptr},
    {C::Picture1, K::PictureBox, false, 488,  16, 200, 168, L"",                       F::Default, false, nullptr},
    {C::Link1,    K::Hyperlink,  false, 492, 194, 191,  20, L"关注公众号，获取更新", F::F2,      false, kFollowPage},
    {C::Label3,   K::Label,      false, 504, 229, 200,  67, kInfoText,                 F::F3,      false, nullptr},
}};
// clang-format on

const std::array<ColumnSpec, 2> kListColumns = {{
    {L"序号", 50, LVCFMT_LEFT},
    {L"手机号", 150, LVCFMT_CENTER},
}};

int ScaleToDpi(int value, int dpi) { return MulDiv(value, dpi, kDesignDpi); }

RECT ScaledControlRect(const ControlEntry& entry, int dpi) {
  const int left = ScaleToDpi(entry.left, dpi);
  const int top = ScaleToDpi(entry.top, dpi);
  return {left, top, left + ScaleToDpi(entry.width, dpi), top + ScaleToDpi(entry.height, dpi)};
}

SIZE ScaledWindowSize(int dpi) { return {ScaleToDpi(kWindowWidth, dpi), ScaleToDpi(kWindowHeight, dpi)}; }

POINT CentredWindowOrigin(int screenWidth, int screenHeight, int dpi) {
  const SIZE window = ScaledWindowSize(dpi);
  return {(screenWidth - window.cx) / 2, (screenHeight - window.cy) / 2};
}

RECT FitPicture(SIZE box, SIZE picture) {
  if (box.cx <= 0 || box.cy <= 0 || picture.cx <= 0 || picture.cy <= 0) return {0, 0, 0, 0};
  SIZE drawn = picture;
  if (box.cx < picture.cx || box.cy < picture.cy) {
    // Compare box.cx / picture.cx with box.cy / picture.cy without fractions.
    const long long byWidth = static_cast<long long>(box.cx) * picture.cy;
    const long long byHeight = static_cast<long long>(box.cy) * picture.cx;
    if (byWidth <= byHeight) {
      drawn.cx = box.cx;
      drawn.cy = static_cast<LONG>((static_cast<long long>(picture.cy) * box.cx + picture.cx / 2) / picture.cx);
    } else {
      drawn.cy = box.cy;
      drawn.cx = static_cast<LONG>((static_cast<long long>(picture.cx) * box.cy + picture.cy / 2) / picture.cy);
    }
  }
  const LONG left = (box.cx - drawn.cx) / 2;
  const LONG top = (box.cy - drawn.cy) / 2;
  return {left, top, left + drawn.cx, top + drawn.cy};
}

std::int32_t KeyStateBits(bool ctrl, bool shift, bool alt) { return (ctrl ? 1 : 0) | (shift ? 2 : 0) | (alt ? 4 : 0); }

std::int32_t CurrentKeyState() {
  auto held = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
  return KeyStateBits(held(VK_CONTROL), held(VK_SHIFT), held(VK_MENU));
}

MousePosition UnpackPosition(LPARAM position) {
  const auto bits = static_cast<std::uint32_t>(static_cast<DWORD_PTR>(position));
  return {static_cast<std::int32_t>(bits & 0xFFFF), static_cast<std::int32_t>(bits >> 16)};
}

COLORREF LinkColour(bool hovered, bool opened) {
  if (hovered) return RGB(10, 36, 106);
  return opened ? RGB(128, 0, 0) : RGB(0, 0, 255);
}

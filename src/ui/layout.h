#pragma once
// The main window's fixed layout: the window's settings, the sixteen controls
// in creation order, their fonts and texts, and the small calculations that
// need no window (centring, picture fit, event arguments).

#include <windows.h>

#include <array>
#include <cstdint>

// The controls, in creation order: the order of the layout table, of the
// stacking among siblings and of Tab. One name per control of the layout.
enum class ControlId : int {
  MainWindow = -1,  // the window itself, as a source of events
  Link3 = 0,        // 超级链接框3
  Label4,           // 标签4
  Label2,           // 标签2
  Edit2,            // 编辑框2
  Button5,          // 按钮5
  List1,            // 超级列表框1
  Label1,           // 标签1
  Button8,          // 按钮8
  Button7,          // 按钮7
  Button4,          // 按钮4
  Edit1,            // 编辑框1
  Button1,          // 按钮1
  Group1,           // 分组框1
  Picture1,         // 图片框1
  Link1,            // 超级链接框1
  Label3,           // 标签3
};
constexpr int kControlCount = 16;
constexpr int ControlIndex(ControlId id) { return static_cast<int>(id); }
// Command identifiers of the controls; clear of IDOK and IDCANCEL.
constexpr int ControlCommandId(ControlId id) { return 1000 + ControlIndex(id); }

enum class ControlKind { Hyperlink, Label, EditBox, Button, ReportList, GroupBox, PictureBox };

// Fonts stored with controls; Default is the system's DEFAULT_GUI_FONT.
enum class FontId { Default, F1, F2, F3 };
struct FontSpec {
  const wchar_t* face;
  int height;  // character height in pixels
};
// Indexed by FontId; the Default entry is unused.
extern const std::array<FontSpec, 4> kFonts;

struct ControlEntry {
  ControlId id;
  ControlKind kind;
  bool inGroup;  // a child of 分组框1 (coordinates inside it), else of the window
  int left, top, width, height;
  const wchar_t* text;
  FontId font;
  bool tabStop;
  const wchar_t* address;  // hyperlinks only
};
// In creation order; kControls[ControlIndex(id)].id == id.
extern const std::array<ControlEntry, kControlCount> kControls;

struct ColumnSpec {
  const wchar_t* title;
  int width;
  int format;  // LVCFMT_*
};
extern const std::array<ColumnSpec, 2> kListColumns;

extern const wchar_t kWindowCaption[];
constexpr int kWindowWidth = 691;
constexpr int kWindowHeight = 414;

// The table above is the layout at 96 dots per inch. At another resolution
// every length of it (positions, sizes, font heights, column widths, the
// picture) is value * dpi / 96, rounded to the nearest pixel.
constexpr int kDesignDpi = 96;
int ScaleToDpi(int value, int dpi);
// A control's rectangle in its parent: left, top, width and height each scaled.
RECT ScaledControlRect(const ControlEntry& entry, int dpi);
// The window's outer size.
SIZE ScaledWindowSize(int dpi);

// Top-left corner of the window of that resolution centred on a screen of
// that size (integer division, so a screen smaller than the window gives a
// negative corner).
POINT CentredWindowOrigin(int screenWidth, int screenHeight, int dpi);

// Where a picture is drawn in a box, centred mode: kept at its size and
// centred in each direction in which the box is large enough; scaled down by
// the smaller ratio, keeping its proportions, when the box is smaller in
// either direction. Box coordinates.
RECT FitPicture(SIZE box, SIZE picture);

// Key state of a mouse event: 1 Ctrl, 2 Shift, 4 Alt.
std::int32_t KeyStateBits(bool ctrl, bool shift, bool alt);
// The same, from the keyboard state of the calling thread.
std::int32_t CurrentKeyState();

// The pointer position of a mouse message: each half of the position word
// taken as an unsigned 16-bit value.
struct MousePosition {
  std::int32_t x;
  std::int32_t y;
};
MousePosition UnpackPosition(LPARAM position);

// Hyperlink text colour: hovered wins over opened.
COLORREF LinkColour(bool hovered, bool opened);

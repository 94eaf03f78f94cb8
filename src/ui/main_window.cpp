#include "ui/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "host/boundary.h"
#include "ui/controls.h"
#include "ui/dpi.h"
#include "ui/hyperlink.h"
#include "ui/label_fit.h"
#include "ui/local_subclass.h"
#include "ui/picture_box.h"
#include "ui/resource_ids.h"

namespace {

constexpr wchar_t kWindowClass[] = L"KestrunLauncherMainWindow";
constexpr UINT_PTR kGroupSubclass = 1;
constexpr UINT_PTR kListSubclass = 2;
constexpr UINT_PTR kOpenRowsTimer = 1;
constexpr UINT kOpenRowsPeriodMs = 500;
// Open rows: bold, in a dark blue that reads well on the list's white.
constexpr COLORREF kOpenRowText = RGB(0, 0, 192);

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;

struct KindStyle {
  const wchar_t* windowClass;  // nullptr: the control's own registered class
  DWORD style;
  DWORD exStyle;
};

KindStyle StyleOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Hyperlink:
      return {HyperlinkClass(), 0, 0};
    case ControlKind::Label:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::EditBox:
      return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Button:
      return {WC_BUTTONW, BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, 0};
    case ControlKind::ReportList:
      return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL, WS_EX_CLIENTEDGE};
    case ControlKind::GroupBox:
      // Tab passes into the controls it holds.
      return {WC_BUTTONW, BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::PictureBox:
      return {PictureBoxClass(), 0, 0};
  }
  return {WC_STATICW, 0, 0};
}

bool IsControlColour(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// Copies an ANSI info tip into the list's buffer of the notification's kind.
void FillInfoTip(const NMHDR& header, const std::string& tip) {
  if (header.code == LVN_GETINFOTIPW) {
    auto& request = reinterpret_cast<NMLVGETINFOTIPW&>(const_cast<NMHDR&>(header));
    if (request.pszText && request.cchTextMax > 0 &&
        MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, request.pszText, request.cchTextMax) == 0)
      request.pszText[request.cchTextMax - 1] = L'\0';
  } else {
    auto& request = reinterpret_cast<NMLVGETINFOTIPA&>(const_cast<NMHDR&>(header));
    if (request.pszText && request.cchTextMax > 0) lstrcpynA(request.pszText, tip.c_str(), request.cchTextMax);
  }
}

}  // namespace

MainWindow::MainWindow(EventTarget& target) : target_(target) {}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
}

bool MainWindow::Create() {
  static const bool registered = [] {
    WNDCLASSEXW wc = {sizeof wc};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(KL_ICON_RESOURCE));
    if (wc.hIcon == nullptr) wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered || window_) return false;
  pictureLoad_.emplace(GetModuleHandleW(nullptr), KL_PICTURE_RESOURCE);
  CreateWindowExW(WS_EX_TOPMOST | WS_EX_APPWINDOW, kWindowClass, kWindowCaption, kWindowStyle, 0, 0, kWindowWidth,
                  kWindowHeight, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (window_ == nullptr) return false;
  // Sized and centred once it exists: its resolution is known only then, and
  // the size is checked against limits that only this window's procedure
  // widens for a large resolution.
  const SIZE size = ScaledWindowSize(dpi_);
  const POINT at = CentredWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), dpi_);
  SetWindowPos(window_, nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

HWND MainWindow::Control(ControlId id) const {
  const int index = ControlIndex(id);
  if (id == ControlId::MainWindow) return window_;
  return index >= 0 && index < kControlCount ? controls_[static_cast<std::size_t>(index)] : nullptr;
}

bool MainWindow::TranslateWindowKeys(MSG& message) {
  // The dialog manager's keyboard handling: Esc arrives as IDCANCEL, Tab and
  // the arrows move between the controls.
  return window_ != nullptr && IsDialogMessageW(window_, &message);
}

void MainWindow::RunMessageLoop() {
  MSG message;
  while (window_ != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (TranslateWindowKeys(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    self->controls_ = {};
    self->labelFonts_ = {};  // the labels that drew with them are gone
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return NoThrowBoundary([&] { return self->HandleMessage(message, wParam, lParam); });
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_LBUTTONDOWN:
      OnLeftButtonDown();
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kOpenRowsTimer) target_.RefreshOpenRows();
      return 0;
  }
  if (IsControlColour(message)) return OnControlColour(message, reinterpret_cast<HDC>(wParam));
  return DefWindowProcW(window_, message, wParam, lParam);
}

// A child needs its parent: the group box is made before the twelve controls
// it holds. Within each parent the creation order is the layout's.
bool MainWindow::OnCreate() {
  dpi_ = WindowDpi(window_);
  fonts_ = LayoutFonts(dpi_);

  const ControlEntry& group = kControls[static_cast<std::size_t>(ControlIndex(ControlId::Group1))];
  if (!CreateControl(group)) return false;
  for (const ControlEntry& entry : kControls)
    if (entry.id != ControlId::Group1 && !CreateControl(entry)) return false;

  target_.ControlsReady(controls_);
  target_.Raise(ControlId::MainWindow, event::kWindowCreated, {});
  SetTimer(window_, kOpenRowsTimer, kOpenRowsPeriodMs, nullptr);
  return true;
}

HWND MainWindow::CreateControl(const ControlEntry& entry) {
  const KindStyle kind = StyleOf(entry.kind);
  const DWORD style = WS_CHILD | WS_VISIBLE | (entry.tabStop ? WS_TABSTOP : 0) | kind.style;
  HWND parent = entry.inGroup ? Control(ControlId::Group1) : window_;
  const RECT at = ScaledControlRect(entry, dpi_);
  HWND control = CreateWindowExW(kind.exStyle, kind.windowClass, entry.text, style, at.left, at.top, at.right - at.left,
                                 at.bottom - at.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlCommandId(entry.id))),
                                 GetModuleHandleW(nullptr), const_cast<wchar_t*>(entry.address));
  if (control == nullptr) return nullptr;
  controls_[static_cast<std::size_t>(ControlIndex(entry.id))] = control;
  switch (entry.kind) {
    case ControlKind::EditBox:
      SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // no limit
      break;
    case ControlKind::ReportList:
      SetUpList(control);
      break;
    case ControlKind::GroupBox:
      SetLocalSubclass(control, GroupProc, kGroupSubclass, 0);
      break;
    case ControlKind::PictureBox:
      if (pictureLoad_) picture_.reset(pictureLoad_->Take());
      pictureLoad_.reset();
      SetPictureBoxImage(control, picture_.get());
      break;
    default:
      break;
  }
  FitControlToDpi(entry, control, false);
  return control;
}

// What a control takes from the resolution besides its table rectangle: its
// font (for a label, a little smaller where its text needs it), the list's
// column widths, the picture's drawn size.
void MainWindow::FitControlToDpi(const ControlEntry& entry, HWND control, bool redraw) {
  if (entry.kind == ControlKind::PictureBox) {  // it shows no text
    SetPictureBoxDpi(control, dpi_);
    return;
  }
  HFONT font = fonts_.Get(entry.font);
  UniqueFont fitted = entry.kind == ControlKind::Label ? FitLabelFont(control, font, dpi_) : UniqueFont();
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fitted ? fitted.get() : font), redraw);
  // The label's former font is freed only now that it no longer draws with it.
  labelFonts_[static_cast<std::size_t>(ControlIndex(entry.id))] = std::move(fitted);
  if (entry.kind == ControlKind::ReportList) {
    for (std::size_t i = 0; i < kListColumns.size(); ++i)
      SendMessageW(control, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(ScaleToDpi(kListColumns[i].width, dpi_), 0));
    MakeOpenRowFont(control);
  }
}

// Moved to a screen of another resolution: the whole layout is scaled anew
// and the window takes the rectangle the system suggests.
void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0) return;
  dpi_ = dpi;
  LayoutFonts previous = std::move(fonts_);  // in use until every control has its new font
  fonts_ = LayoutFonts(dpi_);
  for (const ControlEntry& entry : kControls) {
    HWND control = Control(entry.id);
    if (control == nullptr) continue;
    const RECT at = ScaledControlRect(entry, dpi_);
    SetWindowPos(control, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitControlToDpi(entry, control, true);
  }
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system keeps a window within the screen's size unless told otherwise;
// at a large resolution the layout's own size may be more than that.
void MainWindow::OnGetMinMaxInfo(MINMAXINFO& limits) const {
  const SIZE size = ScaledWindowSize(dpi_);
  limits.ptMaxTrackSize.x = std::max(limits.ptMaxTrackSize.x, size.cx);
  limits.ptMaxTrackSize.y = std::max(limits.ptMaxTrackSize.y, size.cy);
}

void MainWindow::SetUpList(HWND list) {
  const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_INFOTIP;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  SendMessageW(list, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 0));
  SendMessageW(list, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));
  SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, RGB(255, 255, 255));
  for (std::size_t i = 0; i < kListColumns.size(); ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = kListColumns[i].format;
    column.cx = ScaleToDpi(kListColumns[i].width, dpi_);
    column.pszText = const_cast<wchar_t*>(kListColumns[i].title);
    column.iSubItem = static_cast<int>(i);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  SetLocalSubclass(list, ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
}

// Open rows are drawn in the list's own font made bold, at the list's resolution.
void MainWindow::MakeOpenRowFont(HWND list) {
  LOGFONTW bold = {};
  if (!GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof bold, &bold)) return;
  bold.lfWeight = FW_BOLD;
  openRowFont_.reset(CreateFontIndirectW(&bold));
}

void MainWindow::OnDestroy() { target_.Raise(ControlId::MainWindow, event::kWindowDestroyed, {}); }

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (id == IDCANCEL && lParam == 0) {  // Esc, from any control
    SendMessageW(window_, WM_CLOSE, 0, 0);
    return;
  }
  if (HIWORD(wParam) != BN_CLICKED) return;
  for (const ControlEntry& entry : kControls)
    if (entry.kind == ControlKind::Button && ControlCommandId(entry.id) == id &&
        reinterpret_cast<HWND>(lParam) == Control(entry.id))
      target_.Raise(entry.id, event::kButtonClicked, {});
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  HWND list = Control(ControlId::List1);
  if (header.hwndFrom != list || list == nullptr) return 0;
  switch (header.code) {
    case NM_CLICK:
      target_.Raise(ControlId::List1, event::kListClicked, {});
      break;
    case NM_RCLICK: {
      // The list sends its right-clicks with where they were.
      const POINT at = reinterpret_cast<const NMITEMACTIVATE&>(header).ptAction;
      target_.Raise(ControlId::List1, event::kListRightClicked, {at.x, at.y, CurrentKeyState()});
      break;
    }
    case NM_CUSTOMDRAW:
      return OnListCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(const_cast<NMHDR&>(header)));
    case LVN_GETINFOTIPA:
    case LVN_GETINFOTIPW: {
      const int row = reinterpret_cast<const NMLVGETINFOTIPW&>(header).iItem;
      const std::string tip = ReportList(list).InfoTip(row);
      if (!tip.empty()) FillInfoTip(header, tip);
      break;
    }
  }
  return 0;
}

// Rows whose account's browser runs are drawn bold and coloured.
LRESULT MainWindow::OnListCustomDraw(NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT || !target_.IsRowOpen(static_cast<int>(draw.nmcd.dwItemSpec)))
    return CDRF_DODEFAULT;
  draw.clrText = kOpenRowText;
  if (openRowFont_) SelectObject(draw.nmcd.hdc, openRowFont_.get());
  return CDRF_NEWFONT;
}

// Labels and the group box: black on button face; edit boxes: black on white.
LRESULT MainWindow::OnControlColour(UINT message, HDC dc) {
  SetTextColor(dc, RGB(0, 0, 0));
  if (message == WM_CTLCOLOREDIT) {
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  }
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// A press on the background (labels, the group box and the picture box let
// it through) drags the window as its title bar would.
void MainWindow::OnLeftButtonDown() {
  const DWORD at = GetMessagePos();
  ReleaseCapture();
  SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(at));
}

// The focus comes back to the control that had it when the window was left.
void MainWindow::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    lastFocus_ = focus && IsChild(window_, focus) ? focus : nullptr;
  } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(window_, lastFocus_)) {
    SetFocus(lastFocus_);
  }
}

bool MainWindow::RaiseListInputEvent(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONTEXTMENU) {
    // From the keyboard the position is -1; a right-click has raised its own
    // event already. Either way the request goes no further up.
    if (lParam == -1) target_.Raise(ControlId::List1, event::kListMenuKey, {});
    return true;
  }
  if (const int number = MouseEventNumber(message)) {
    const MousePosition at = UnpackPosition(lParam);
    target_.Raise(ControlId::List1, number, {at.x, at.y, CurrentKeyState()});
    return false;
  }
  if (const int number = KeyEventNumber(message))
    return target_.Raise(ControlId::List1, number, {0, 0, CurrentKeyState(), static_cast<std::int32_t>(wParam)});
  return false;
}

// The group box holds twelve controls: their notifications and colour
// requests go on to the window, which handles them all.
LRESULT CALLBACK MainWindow::GroupProc(HWND group, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
      return SendMessageW(GetParent(group), message, wParam, lParam);
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(group, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
      return TRUE;
    }
  }
  if (IsControlColour(message)) return SendMessageW(GetParent(group), message, wParam, lParam);
  return DefLocalSubclassProc(group, message, wParam, lParam);
}

// Mouse and keyboard events of the list are raised before the list itself
// sees the message, so a handler sees the selection as it was; a key or a
// character that a handler used up never reaches the list.
LRESULT CALLBACK MainWindow::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  if (message != WM_NCDESTROY && NoThrowBoundary([&] {
        return reinterpret_cast<MainWindow*>(self)->RaiseListInputEvent(message, wParam, lParam);
      }))
    return 0;
  return DefLocalSubclassProc(list, message, wParam, lParam);
}

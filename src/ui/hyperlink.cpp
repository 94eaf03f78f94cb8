#include "ui/window_class.h"
#include "ui/hyperlink.h"

#include <algorithm>

#include "host/boundary.h"
#include "host/com_scope.h"
#include "host/handles.h"
#include "host/process.h"
#include "host/registry.h"
#include "ui/layout.h"

namespace {

struct LinkState {
  std::wstring address;
  HFONT font = nullptr;
  bool hovered = false;
  bool opened = false;
};

LinkState* State(HWND link) { return reinterpret_cast<LinkState*>(GetWindowLongPtrW(link, GWLP_USERDATA)); }

// The open command of .htm pages: under the extension's own key, else under
// the file type that the extension names.
std::wstring RegisteredPageCommand() {
  std::wstring command = ReadClassesRootDefaultW(L".htm\\shell\\open\\command");
  if (!command.empty()) return command;
  const std::wstring type = ReadClassesRootDefaultW(L".htm");
  if (type.empty()) return {};
  return ReadClassesRootDefaultW((type + L"\\shell\\open\\command").c_str());
}

// The shell's "open" verb. The shell library, and COM that its handlers may
// use, are loaded on the first click of a link, not at start: the window does
// not need them before.
bool ShellOpen(const std::wstring& address) {
  static const ThreadApartment apartment;
  using Execute = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  HMODULE shell = LoadLibraryW(L"shell32.dll");
  const auto execute =
      shell ? reinterpret_cast<Execute>(reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW"))) : nullptr;
  return execute &&
         reinterpret_cast<INT_PTR>(execute(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

void Paint(HWND link, LinkState& state) {
  const PaintScope paint(link);
  HDC dc = paint.dc();
  RECT client;
  GetClientRect(link, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  wchar_t text[256] = {};
  GetWindowTextW(link, text, static_cast<int>(std::size(text)));
  const SelectionGuard font(dc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, LinkColour(state.hovered, state.opened));
  DrawTextW(dc, text, -1, &client, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

// Hovering: the link holds the mouse while the pointer is over it, so that
// it sees the pointer leave.
void OnMouseMove(HWND link, LinkState& state, LPARAM position) {
  RECT client;
  GetClientRect(link, &client);
  const MousePosition at = UnpackPosition(position);
  const POINT pt = {static_cast<short>(at.x), static_cast<short>(at.y)};
  const bool inside = PtInRect(&client, pt) != 0;
  if (inside && !state.hovered) {
    state.hovered = true;
    SetCapture(link);
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    InvalidateRect(link, nullptr, FALSE);
  } else if (!inside && state.hovered) {
    ReleaseCapture();  // WM_CAPTURECHANGED ends the hover
  }
}

LRESULT LinkMessage(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* state = new LinkState;
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (create->lpCreateParams) state->address = static_cast<const wchar_t*>(create->lpCreateParams);
    SetWindowLongPtrW(link, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  }
  LinkState* state = State(link);
  if (state == nullptr) return DefWindowProcW(link, message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      SetWindowLongPtrW(link, GWLP_USERDATA, 0);
      delete state;
      break;
    case WM_SETFONT:
      state->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(link, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state->font);
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(link, message, wParam, lParam);
      InvalidateRect(link, nullptr, FALSE);
      return result;
    }
    case WM_ERASEBKGND:
      return 1;  // painted whole in WM_PAINT
    case WM_PAINT:
      Paint(link, *state);
      return 0;
    case WM_SETCURSOR:
      SetCursor(LoadCursor(nullptr, IDC_HAND));
      return TRUE;
    case WM_MOUSEMOVE:
      OnMouseMove(link, *state, lParam);
      return 0;
    case WM_CAPTURECHANGED:
      if (state->hovered) {
        state->hovered = false;
        InvalidateRect(link, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONDOWN:
      if (OpenWebAddress(state->address)) {
        state->opened = true;
        InvalidateRect(link, nullptr, FALSE);
      }
      return 0;
  }
  return DefWindowProcW(link, message, wParam, lParam);
}

LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
  return NoThrowBoundary([&] { return LinkMessage(link, message, wParam, lParam); });
}

}  // namespace

const wchar_t* HyperlinkClass() {
  return SimpleWindowClass(L"KestrunHyperlink", LinkProc, LoadCursor(nullptr, IDC_HAND));
}

bool HyperlinkOpened(HWND link) {
  const LinkState* state = State(link);
  return state && state->opened;
}

bool OpenWebAddress(const std::wstring& address) {
  if (address.empty()) return false;
  if (ShellOpen(address)) return true;
  const std::wstring command = RegisteredPageCommand();
  return !command.empty() && StartProgramW(BrowserCommandFor(command, address));
}

std::wstring BrowserCommandFor(const std::wstring& registered, const std::wstring& address) {
  std::wstring head = registered.substr(0, registered.find(L"%1"));
  auto trimSpaces = [&] { head.erase(head.find_last_not_of(L" \t") + 1); };
  trimSpaces();
  // `"...exe" "%1"` leaves an opening quote with nothing to close.
  if (!head.empty() && head.back() == L'"' && std::count(head.begin(), head.end(), L'"') % 2 == 1) {
    head.pop_back();
    trimSpaces();
  }
  return head + L" " + address;
}

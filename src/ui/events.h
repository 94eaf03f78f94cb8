#pragma once
// Numbered events of the main window and its controls, and the receiver that
// the window raises them on.

#include <windows.h>

#include <array>
#include <cstdint>

#include "ui/layout.h"

namespace event {
// Events every control has: mouse events carry x, y and the key state.
constexpr int kLeftButtonDown = -1;
constexpr int kLeftButtonUp = -2;
constexpr int kLeftDoubleClick = -3;
constexpr int kRightButtonDown = -4;
constexpr int kRightButtonUp = -5;
constexpr int kMouseMoved = -6;
// Keyboard events: key pressed carries the key code and the key state,
// character typed the character (UTF-16) in `code`.
constexpr int kKeyPressed = -9;
constexpr int kCharTyped = -11;
// The window's own.
constexpr int kWindowCreated = 0;
constexpr int kWindowDestroyed = 2;
// A button's own.
constexpr int kButtonClicked = 0;
// The report list's own.
constexpr int kListClicked = 4;
constexpr int kListRightClicked = 5;  // x, y: where, in the list's client coordinates
// The list's menu asked for from the keyboard (the menu key, Shift+F10).
constexpr int kListMenuKey = 9;
}  // namespace event

struct EventArgs {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t keys = 0;  // 1 Ctrl, 2 Shift, 4 Alt held
  std::int32_t code = 0;  // the key code or the character of a keyboard event
};

using ControlWindows = std::array<HWND, kControlCount>;

class EventTarget {
 public:
  virtual ~EventTarget() = default;
  // Once, when all the controls exist and have their parents, just before
  // the window's created event.
  virtual void ControlsReady(const ControlWindows& controls) = 0;
  // Runs the handler bound to (source, number), if any, to completion. True
  // when the handler used the message up: the control then never sees it.
  virtual bool Raise(ControlId source, int number, const EventArgs& args) = 0;
  // About twice a second, for the rows drawn as open.
  virtual void RefreshOpenRows() {}
  // True when the list's row is drawn as open (its account's browser runs).
  virtual bool IsRowOpen(int /*row*/) const { return false; }
};

// The common event a mouse message raises, 0 for any other message.
constexpr int MouseEventNumber(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
      return event::kLeftButtonDown;
    case WM_LBUTTONUP:
      return event::kLeftButtonUp;
    case WM_LBUTTONDBLCLK:
      return event::kLeftDoubleClick;
    case WM_RBUTTONDOWN:
      return event::kRightButtonDown;
    case WM_RBUTTONUP:
      return event::kRightButtonUp;
    case WM_MOUSEMOVE:
      return event::kMouseMoved;
    default:
      return 0;
  }
}

// The keyboard event a message raises, 0 for any other message.
constexpr int KeyEventNumber(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return event::kKeyPressed;
    case WM_CHAR:
      return event::kCharTyped;
    default:
      return 0;
  }
}

#pragma once
// Real mouse and keyboard input for the tests (SendInput), in screen
// coordinates. There is no window manager and no virtual desktop under the
// tests' Wine, so a client point converted with ClientToScreen is where the
// pointer lands.

#include <windows.h>

#include <string>
#include <vector>

namespace test {

// One absolute pointer step to `screen`, with button flags (0 for a plain
// move), and a batch of steps sent in one call, so that nothing else comes
// between them.
INPUT MouseStep(POINT screen, DWORD buttons);
void SendSteps(const std::vector<INPUT>& steps);

// Moves the pointer and waits (bounded) until it is there.
bool MovePointerTo(POINT screen);
void PressLeftButton();
void ReleaseLeftButton();

// A single click. Separate clicks must lie more than the double-click time
// apart: see WaitOutDoubleClick.
void ClickAt(POINT screen);
// A right-click: the right button pressed and released there.
void RightClickAt(POINT screen);
// Two clicks in quick succession at the same point.
void DoubleClickAt(POINT screen);
// Lets more than the double-click time pass (pumping this thread's messages),
// so that the next click is not paired with the previous one.
void WaitOutDoubleClick();

void TapKey(WORD virtualKey);
// Presses the modifiers (VK_CONTROL, VK_SHIFT, VK_MENU) in order, taps the key
// and releases them in reverse, in one batch.
void TapKeyWith(const std::vector<WORD>& modifiers, WORD virtualKey);
// Taps the keys of digits and letters (a letter in either case is its key,
// typed without Shift), in one batch.
void TypeKeys(const std::string& keys);

// The centre of a child window's client area, on the screen.
POINT CentreOf(HWND window);
POINT ClientToScreenPoint(HWND window, POINT client);

// Holds the left button down (at the current pointer position) until Release
// or the end of the scope, so that no test leaves it pressed.
class HeldLeftButton {
 public:
  HeldLeftButton();
  ~HeldLeftButton();
  HeldLeftButton(const HeldLeftButton&) = delete;
  HeldLeftButton& operator=(const HeldLeftButton&) = delete;
  // True when the platform reports the button down.
  bool Down() const;
  void Release();

 private:
  bool held_ = true;
};

}  // namespace test

#include "input.h"

#include <chrono>

#include "win_test_support.h"

namespace test {

namespace {

void SendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// Absolute coordinates run from 0 to 65535 across the primary screen.
LONG Normalised(LONG value, int extent) { return static_cast<LONG>((value * 65536LL + extent - 1) / extent); }

bool LeftButtonDown() { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }

}  // namespace

INPUT MouseStep(POINT screen, DWORD buttons) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  input.mi.dx = Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN));
  return input;
}

void SendSteps(const std::vector<INPUT>& steps) {
  std::vector<INPUT> batch = steps;
  SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
}

bool MovePointerTo(POINT screen) {
  SendSteps({MouseStep(screen, 0)});
  return WaitUntil(
      [&] {
        POINT at = {};
        GetCursorPos(&at);
        return at.x == screen.x && at.y == screen.y;
      },
      std::chrono::seconds(5));
}

void PressLeftButton() {
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  WaitUntil(LeftButtonDown, std::chrono::seconds(5));
}

void ReleaseLeftButton() {
  SendMouse(MOUSEEVENTF_LEFTUP);
  WaitUntil([] { return !LeftButtonDown(); }, std::chrono::seconds(5));
}

void ClickAt(POINT screen) {
  MovePointerTo(screen);
  PressLeftButton();
  ReleaseLeftButton();
}

void RightClickAt(POINT screen) {
  MovePointerTo(screen);
  SendMouse(MOUSEEVENTF_RIGHTDOWN);
  SendMouse(MOUSEEVENTF_RIGHTUP);
}

void DoubleClickAt(POINT screen) {
  MovePointerTo(screen);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
}

void WaitOutDoubleClick() { PumpMessagesFor(std::chrono::milliseconds(GetDoubleClickTime() + 150)); }

void TapKey(WORD virtualKey) {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof keys[0]);
}

void TapKeyWith(const std::vector<WORD>& modifiers, WORD virtualKey) {
  std::vector<INPUT> keys;
  auto step = [&](WORD key, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    keys.push_back(input);
  };
  for (WORD modifier : modifiers) step(modifier, 0);
  step(virtualKey, 0);
  step(virtualKey, KEYEVENTF_KEYUP);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) step(*it, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof keys[0]);
}

void TypeKeys(const std::string& keys) {
  std::vector<INPUT> taps;
  for (char key : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key);
    taps.push_back(input);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    taps.push_back(input);
  }
  SendInput(static_cast<UINT>(taps.size()), taps.data(), sizeof taps[0]);
}

POINT ClientToScreenPoint(HWND window, POINT client) {
  ClientToScreen(window, &client);
  return client;
}

POINT CentreOf(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  return ClientToScreenPoint(window, {(client.right - client.left) / 2, (client.bottom - client.top) / 2});
}

HeldLeftButton::HeldLeftButton() { PressLeftButton(); }

HeldLeftButton::~HeldLeftButton() { Release(); }

bool HeldLeftButton::Down() const { return LeftButtonDown(); }

void HeldLeftButton::Release() {
  if (!held_) return;
  held_ = false;
  ReleaseLeftButton();
}

}  // namespace test

// The baseline of the start-up benchmark: the least a Win32 program does to
// show a window and answer its messages.
#include <windows.h>

#include "baseline_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (!baseline::RegisterWindowClass(instance, L"KlBareWindow")) return 1;
  HWND window = CreateWindowExW(0, L"KlBareWindow", L"bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                700, 420, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  return baseline::ShowAndRun(window);
}

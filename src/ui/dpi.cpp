#include "ui/dpi.h"

#include "host/handles.h"

namespace {

// Looked up at run time: Windows 7 has none of these.
template <typename Function>
Function UserFunction(const char* name) {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  return user ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

int ScreenDpi() {
  const WindowDc screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto forWindow = UserFunction<GetDpiForWindowFn>("GetDpiForWindow");
  if (forWindow && window) {
    if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int SystemDpi() {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  static const auto forSystem = UserFunction<GetDpiForSystemFn>("GetDpiForSystem");
  if (forSystem) {
    if (const UINT dpi = forSystem()) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

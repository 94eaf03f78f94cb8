#pragma once
// The resolution the window is drawn at. The layout is designed at 96 dots per
// inch; the window scales it to the resolution of the screen it is on.

#include <windows.h>

// The resolution of the screen `window` is on, as this process sees it: the
// monitor's own under per-monitor awareness, else the system's.
int WindowDpi(HWND window);
// The system's resolution (the primary screen's at log-on).
int SystemDpi();

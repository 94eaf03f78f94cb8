// KestrunLauncher: one window that keeps the account list and opens each
// account in its own browser window. Command-line arguments are ignored.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "host/files.h"
#include "ui/main_window.h"
#include "ui/wiring.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Every path of the program is relative to the program folder.
  SetCurrentDirectoryA(ProgramFolder().c_str());
  // The profile copy drives a COM automation object on this thread.
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  LauncherWiring wiring;
  MainWindow window(wiring);
  if (window.Create()) {
    ShowWindow(window.Handle(), SW_SHOWNORMAL);
    UpdateWindow(window.Handle());
    window.RunMessageLoop();
  }
  OleUninitialize();
  return 0;
}

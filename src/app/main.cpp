// KestrunLauncher: one window that keeps the account list and opens each
// account in its own browser window. Command-line arguments are ignored.
#include <windows.h>

#include <commctrl.h>

#include <optional>

#include "host/files.h"
#include "host/notice.h"
#include "host/single_instance.h"
#include "launcher/account_launcher.h"
#include "launcher/program_paths.h"
#include "launcher_wiring.h"
#include "ui/dispatcher.h"
#include "ui/main_window.h"

namespace {
// 无法使用程序所在的文件夹，账号列表无法保存。请把程序放到路径中只含中文、英文和数字的文件夹里再启动。
constexpr char kFolderUnusable[] =
    "\xce\xde\xb7\xa8\xca\xb9\xd3\xc3\xb3\xcc\xd0\xf2\xcb\xf9\xd4\xda\xb5\xc4\xce\xc4\xbc\xfe\xbc\xd0\xa3\xac"
    "\xd5\xcb\xba\xc5\xc1\xd0\xb1\xed\xce\xde\xb7\xa8\xb1\xa3\xb4\xe6\xa1\xa3\xc7\xeb\xb0\xd1\xb3\xcc\xd0\xf2"
    "\xb7\xc5\xb5\xbd\xc2\xb7\xbe\xb6\xd6\xd0\xd6\xbb\xba\xac\xd6\xd0\xce\xc4\xa1\xa2\xd3\xa2\xce\xc4\xba\xcd"
    "\xca\xfd\xd7\xd6\xb5\xc4\xce\xc4\xbc\xfe\xbc\xd0\xc0\xef\xd4\xd9\xc6\xf4\xb6\xaf\xa1\xa3";
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Every path of the program is relative to the program folder: without it
  // nothing could be stored, so the program says so and ends.
  const std::string folder = ProgramFolder();
  if (folder.empty() || !SetCurrentDirectoryA(folder.c_str())) {
    TellUser(kFolderUnusable);
    return 1;
  }
  // A second copy of the same folder hands over to the first and stores nothing.
  ProgramInstance instance(folder);
  if (instance.IsSecond()) {
    instance.BringFirstForward();
    return 0;
  }
  RemoveLeftoverTemporaryFiles(folder);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  const ProgramPaths paths = ProgramPathsIn(folder);
  // The launcher is made once the controls exist, and outlives the window.
  std::optional<AccountLauncher> launcher;
  EventDispatcher dispatcher([&](const ControlWindows& windows) {
    launcher.emplace(LauncherControlsOf(windows), paths);
    return WireLauncher(*launcher);
  });
  MainWindow window(dispatcher);
  if (window.Create()) {
    ShowWindow(window.Handle(), SW_SHOWNORMAL);
    UpdateWindow(window.Handle());
    instance.Publish(window.Handle());
    window.RunMessageLoop();
  }
  return 0;
}

// KestrunLauncher: one window that keeps the account list and opens each
// account in its own browser window. Command-line arguments are ignored.
#include <windows.h>

#include <commctrl.h>

#include <optional>

#include "host/files.h"
#include "host/notice.h"
#include "host/single_instance.h"
#include "host/texts.h"
#include "launcher/account_launcher.h"
#include "launcher/program_place.h"
#include "launcher/program_paths.h"
#include "launcher_wiring.h"
#include "ui/dispatcher.h"
#include "ui/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Every path of the program is relative to the program folder: without it
  // nothing could be stored, so the program says so and ends.
  const std::string folder = ProgramFolder();
  if (folder.empty() || !SetCurrentDirectoryA(folder.c_str())) {
    TellUser(ProgramText(KL_TEXT_FOLDER_UNUSABLE));
    return 1;
  }
  // A second copy of the same folder hands over to the first and stores nothing.
  ProgramInstance instance(folder);
  if (instance.IsSecond()) {
    // Its window cannot be reached from here: it runs in another session or on another PC.
    if (!instance.BringFirstForward()) TellUser(ProgramText(KL_TEXT_OPEN_ELSEWHERE));
    return 0;
  }
  const ProgramPaths paths = ProgramPathsIn(folder);
  SweepLeftoverTemporaryFiles(paths.configFile);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

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
    // Run from inside an archive, the list would be stored where it vanishes.
    if (!IsUnpackedToLastingPlace(paths)) TellUserWhenIdle(window.Handle(), ProgramText(KL_TEXT_NOT_UNPACKED));
    window.RunMessageLoop();
  }
  return 0;
}

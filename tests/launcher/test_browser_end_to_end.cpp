// KestrunLauncher.exe and the browsers it reaches: a browser path that names
// no program is never run, the browsers it starts get no privilege it does
// not need, and a hung browser never hangs its window.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "end_to_end.h"
#include "host/code_page.h"
#include "host/handles.h"
#include "host/texts.h"
#include "launcher/command_line.h"
#include "launcher_window.h"
#include "win_test_support.h"

using namespace launcher_test;

namespace {

// The line the fake browser logs for the account's launch from the folder.
std::string LaunchLine(const ProgramFolder& folder, const std::string& account) {
  return "\"" + folder.BrowserPath() + "\" --user-data-dir=\"" + (folder / ("qnv\\" + account)) +
         "\" google-chrome --app=\"" + std::string(ConsoleUrl()) + "\"\r\n";
}

// SeDebugPrivilege in this process's token, as the fake browser reports it.
std::string OwnDebugPrivilege() {
  const std::optional<bool> enabled = test::DebugPrivilegeEnabled();
  return !enabled ? "absent" : *enabled ? "enabled" : "disabled";
}

TEST_F(EndToEnd, ABrowserPathThatNamesNoProgramIsToldAndNothingStarts) {
  ASSERT_TRUE(CopyFileA(folder_.BrowserPath().c_str(), (folder_ / "Program.exe").c_str(), FALSE));
  StoreRows({{"1", "13800000001"}, {"2", "13800000002"}, {"3", "13800000003"}});
  RunningLauncher launcher;
  Start(launcher);
  const std::string texts[] = {
      folder_ / "fake-browser",                     // the system would add ".exe"
      folder_ / "Program Files\\fake-browser.exe",  // the system would run Program.exe
      kPathError,
  };
  int row = 0;
  for (const std::string& text : texts) {
    launcher.SetBrowserPathText(text);
    launcher.DoubleClickRow(row);
    EXPECT_EQ(launcher.TakeNotice(), test::Narrow(ProgramText(KL_TEXT_BROWSER_NOT_FOUND, {WidenAnsi(text)}))) << text;
    // The profile is made ready all the same, as for a browser that fails.
    const std::string profile = folder_ / ("qnv\\1380000000" + std::to_string(++row));
    EXPECT_TRUE(test::WaitUntil([&] { return test::FileExists(profile + "\\Local State"); })) << text;
  }
  // Nothing ran: a browser would have logged by now.
  test::PumpMessagesFor(std::chrono::milliseconds(1500));
  EXPECT_FALSE(test::FileExists(folder_.LogPath())) << test::ReadWholeFile(folder_.LogPath());

  // A path typed in double quotes is that path.
  launcher.SetBrowserPathText("\"" + folder_.BrowserPath() + "\"");
  launcher.DoubleClickRow(0);
  EXPECT_TRUE(test::WaitUntil([&] { return !test::ReadWholeFile(folder_.LogPath()).empty(); }));
  EXPECT_EQ(test::ReadWholeFile(folder_.LogPath()), LaunchLine(folder_, "13800000001"));
}

TEST_F(EndToEnd, ABrowserStartedByTheProgramHasTheDebugPrivilegeAsTheUserGaveIt) {
  StoreRows({{"1", "13800000001"}});
  RunningLauncher launcher;
  Start(launcher, {"KL_FAKE_BROWSER_REPORT_DEBUG=1"});
  launcher.DoubleClickRow(0);
  EXPECT_TRUE(test::WaitUntil([&] { return !test::ReadWholeFile(folder_.LogPath()).empty(); }));
  EXPECT_EQ(test::ReadWholeFile(folder_.LogPath()),
            LaunchLine(folder_, "13800000001") + "debug=" + OwnDebugPrivilege() + "\r\n");
}

TEST_F(EndToEnd, AClickOnTheAccountOfAHungMinimisedBrowserLeavesTheWindowAnswering) {
  StoreRows({{"1", "13800000001"}, {"2", "13800000002"}});
  const std::string profile = folder_ / "qnv\\13800000001";
  test::ChildProcess browser;
  ASSERT_TRUE(browser.Start("\"" + folder_.BrowserPath() + "\" --marker --minimized --hang-ms=30000 --stay-ms=30000" +
                                " --title=\"Kestrun Seller Console\" --user-data-dir=\"" + profile + "\"",
                            folder_.path(), {"KL_FAKE_BROWSER_LOG=" + (folder_ / "direct.log")}));
  // Logged: its windows exist, minimised, and from now on it answers nothing.
  ASSERT_TRUE(test::WaitUntil([&] { return !test::ReadWholeFile(folder_ / "direct.log").empty(); }));
  RunningLauncher launcher;
  Start(launcher);

  launcher.ClickRow(0);
  EXPECT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "13800000001"; }));
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutA(launcher.window(), WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer), 0)
      << "the window waits for the hung browser";
  // It goes on working.
  launcher.ClickRow(1);
  EXPECT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "13800000002"; }, std::chrono::seconds(5)));
  browser.Kill();
}

}  // namespace

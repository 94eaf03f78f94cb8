// KestrunLauncher.exe itself, started from a temporary program folder and used
// as a person would: the rows on screen and the deciphered config.ini must
// always agree, and each action must show where the user would see it.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "host/cipher.h"
#include "host/handles.h"
#include "launcher/command_line.h"
#include "launcher/list_content.h"
#include "end_to_end.h"
#include "launcher_window.h"
#include "mouse_input.h"
#include "stored_list.h"
#include "win_test_support.h"

using namespace launcher_test;

namespace {

// ---- start-up -------------------------------------------------------------

struct StoredFileCase {
  const char* name;
  bool present;
  Bytes plain;
  Rows expected;
};

class StartUpFromStoredFile : public EndToEnd, public ::testing::WithParamInterface<StoredFileCase> {};

TEST_P(StartUpFromStoredFile, ShowsTheStoredRowsAndWritesNothing) {
  const StoredFileCase& c = GetParam();
  if (c.present) {
    ASSERT_TRUE(WriteStored(folder_.ConfigPath(), c.plain));
  }
  const std::string before = test::ReadWholeFile(folder_.ConfigPath());
  const FileStamp stamp = StampOf(folder_.ConfigPath());
  RunningLauncher launcher;
  Start(launcher);
  EXPECT_EQ(launcher.ScreenRows(), c.expected);
  EXPECT_TRUE(StampOf(folder_.ConfigPath()) == stamp) << "loading must not write the file";
  EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()), before);
  EXPECT_EQ(test::FileExists(folder_.ConfigPath()), c.present);
}

Bytes DamagedContent() {
  // The worked example, a whole row record, then a cell record cut short.
  Bytes plain = WorkedExampleContent();
  const Bytes row = EncodeRowRecord(-1, 0, "2");
  const Bytes cell = EncodeCellRecord(-1, "def");
  plain.insert(plain.end(), row.begin(), row.end());
  plain.insert(plain.end(), cell.begin(), cell.begin() + 10);
  return plain;
}

INSTANTIATE_TEST_SUITE_P(
    Files, StartUpFromStoredFile,
    ::testing::Values(StoredFileCase{"NoFile", false, {}, {}},
                      StoredFileCase{"WorkedExample", true, WorkedExampleContent(), {{"1", "abc"}}},
                      StoredFileCase{"DamagedAfterTwoWholeRecords", true, DamagedContent(), {{"1", "abc"}, {"2", ""}}}),
    [](const ::testing::TestParamInfo<StoredFileCase>& info) { return std::string(info.param.name); });

struct IconCase {
  const char* name;
  const char* prefix;  // before the browser path; nullptr: no registry value
  const char* suffix;
};

class StartUpBrowserPath : public EndToEnd, public ::testing::WithParamInterface<IconCase> {};

TEST_P(StartUpBrowserPath, FillsTheProgramPathFieldFromTheRegistry) {
  const IconCase& c = GetParam();
  if (c.prefix) {
    ASSERT_TRUE(icon_.Set(c.prefix + folder_.BrowserPath() + c.suffix));
  } else {
    icon_.Remove();
  }
  RunningLauncher launcher;
  Start(launcher);
  EXPECT_EQ(launcher.BrowserPathText(), c.prefix ? folder_.BrowserPath() : kPathError);
}

INSTANTIATE_TEST_SUITE_P(Values, StartUpBrowserPath,
                         ::testing::Values(IconCase{"IconIndexZero", "", ",0"}, IconCase{"TwoDigitIndex", "", ",12"},
                                           IconCase{"QuotedPath", "\"", "\",0"}, IconCase{"NoIndex", "", ""},
                                           IconCase{"NoValue", nullptr, nullptr}),
                         [](const ::testing::TestParamInfo<IconCase>& info) { return std::string(info.param.name); });

// ---- editing --------------------------------------------------------------

TEST_F(EndToEnd, AddModifyAndDeleteThroughTheButtons) {
  RunningLauncher launcher;
  Start(launcher);

  // Add with an empty field stores the (empty) list and adds nothing.
  launcher.SetAccountText("");
  launcher.ClickAdd();
  ASSERT_TRUE(WaitForSave({}));
  EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()), "");
  EXPECT_TRUE(launcher.ScreenRows().empty());

  Rows expected;
  for (const char* account : {"13800000001", "13800000002", "13800000003", "13800000002"}) {
    launcher.SetAccountText(account);
    launcher.ClickAdd();
    expected.push_back({std::to_string(expected.size() + 1), account});
    ExpectRows(launcher, expected);
    EXPECT_EQ(launcher.AccountText(), "") << "the field is emptied after an add";
  }

  // A click fills the field; modify changes the row clicked last, even after
  // the keyboard has moved the selection.
  launcher.ClickRow(2);
  EXPECT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "13800000003"; }));
  TapKey(VK_HOME);
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.SelectedRow() == 0; })) << "the keyboard selects the first row";
  launcher.SetAccountText("\xB5\xEA\xC6\xCC\xB6\xFE");  // 店铺二
  launcher.ClickModify();
  expected[2].second = "\xB5\xEA\xC6\xCC\xB6\xFE";
  ExpectRows(launcher, expected);

  // Deleting the middle row renumbers the rest.
  launcher.ClickRow(1);
  launcher.ClickDelete();
  ExpectRows(launcher, {{"1", "13800000001"}, {"2", "\xB5\xEA\xC6\xCC\xB6\xFE"}, {"3", "13800000002"}});
}

TEST_F(EndToEnd, DeletingTheLastRowIsKeptAcrossARestart) {
  StoreRows({{"1", "abc"}});
  {
    RunningLauncher launcher;
    Start(launcher);
    launcher.ClickRow(0);
    launcher.ClickDelete();
    EXPECT_TRUE(test::WaitUntil([&] { return test::ReadWholeFile(folder_.ConfigPath()).empty(); }));
    EXPECT_TRUE(test::FileExists(folder_.ConfigPath()));
    EXPECT_TRUE(launcher.ScreenRows().empty());
  }
  RunningLauncher again;
  Start(again);
  EXPECT_TRUE(again.ScreenRows().empty());
}

// Real drags: press, hold, move over rows, release. DragRow paces the input
// the way a hand does (see there).
TEST_F(EndToEnd, RowsAreReorderedByDraggingAndRenumbered) {
  StoreRows({{"1", "w"}, {"2", "x"}, {"3", "y"}, {"4", "z"}});
  RunningLauncher launcher;
  Start(launcher);

  launcher.DragRow(0, 2);  // w onto y
  ExpectRows(launcher, {{"2", "x"}, {"3", "y"}, {"1", "w"}, {"4", "z"}});
  launcher.DragRow(2, 0);  // and back up onto x
  ExpectRows(launcher, {{"1", "w"}, {"2", "x"}, {"3", "y"}, {"4", "z"}});
  launcher.DragRow(3, 1);  // z onto x
  ExpectRows(launcher, {{"1", "w"}, {"4", "z"}, {"2", "x"}, {"3", "y"}});

  // Dropping the last row on itself keeps the order; the list is still saved.
  const FileStamp before = StampOf(folder_.ConfigPath());
  launcher.DragRow(3, 3);
  EXPECT_TRUE(WaitForSave(before));
  ExpectRows(launcher, {{"1", "w"}, {"4", "z"}, {"2", "x"}, {"3", "y"}});

  launcher.ClickRenumber();
  ExpectRows(launcher, {{"1", "w"}, {"2", "z"}, {"3", "x"}, {"4", "y"}});
}

TEST_F(EndToEnd, ALongAccountTextIsStoredWhole) {
  std::string text;
  while (text.size() < 300) text += "0123456789";
  RunningLauncher launcher;
  Start(launcher);
  launcher.SetAccountText(text);
  launcher.ClickAdd();
  ExpectRows(launcher, {{"1", text}});
}

// ---- failed saves ---------------------------------------------------------

struct BlockedCase {
  const char* name;
  bool readOnly;  // else held open without sharing by this test
};

class FailedSave : public EndToEnd, public ::testing::WithParamInterface<BlockedCase> {};

TEST_P(FailedSave, KeepsTheOldFileWholeAndTheRowsOnScreen) {
  StoreRows({{"1", "abc"}});
  const std::string stored = test::ReadWholeFile(folder_.ConfigPath());
  const std::vector<std::string> entries = folder_.Entries();
  RunningLauncher launcher;
  Start(launcher);

  UniqueFile lock;
  if (GetParam().readOnly) {
    ASSERT_TRUE(SetFileAttributesA(folder_.ConfigPath().c_str(), FILE_ATTRIBUTE_READONLY));
  } else {
    lock.reset(CreateFileA(folder_.ConfigPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  }
  ASSERT_TRUE(GetParam().readOnly || lock);

  launcher.SetAccountText("def");
  launcher.ClickAdd();
  // The handler has run once the field is empty and the list answers again.
  EXPECT_TRUE(test::WaitUntil([&] { return launcher.AccountText().empty(); }));
  EXPECT_EQ(launcher.ScreenRows(), (Rows{{"1", "abc"}, {"2", "def"}})) << "the rows stay on screen";
  lock.reset();
  SetFileAttributesA(folder_.ConfigPath().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()), stored) << "the old file stays whole";
  EXPECT_EQ(folder_.Entries(), entries) << "no temporary file is left behind";

  // Once the file can be written again, the next save stores what is shown.
  launcher.ClickAdd();
  ExpectRows(launcher, {{"1", "abc"}, {"2", "def"}});
}

INSTANTIATE_TEST_SUITE_P(Blocks, FailedSave,
                         ::testing::Values(BlockedCase{"ReadOnlyFile", true}, BlockedCase{"FileHeldOpen", false}),
                         [](const ::testing::TestParamInfo<BlockedCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- accounts and their browser windows ----------------------------------

TEST_F(EndToEnd, AClickBringsTheAccountsWindowForward) {
  StoreRows({{"1", "kl-shop-one"}, {"2", "kl-shop-two"}});
  test::ChildProcess browser;
  ASSERT_TRUE(browser.Start("\"" + folder_.BrowserPath() + "\" --title=kl-shop-one --stay-ms=60000", folder_.path(),
                            {"KL_FAKE_BROWSER_LOG=" + (folder_ / "direct.log")}));
  const HWND account = test::WaitForProcessWindow(browser.id(), "kl-shop-one");
  ASSERT_TRUE(account);
  RunningLauncher launcher;
  Start(launcher);

  // An account without a window of its title leaves the clicked window in front.
  launcher.ClickRow(1);
  EXPECT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "kl-shop-two"; }));
  EXPECT_EQ(GetForegroundWindow(), launcher.window());

  launcher.ClickRow(0);
  EXPECT_TRUE(test::WaitUntil([&] { return GetForegroundWindow() == account; }));
}

TEST_F(EndToEnd, ADoubleClickStartsTheBrowserAndProfilesCanBeCleared) {
  StoreRows({{"1", "13800000001"}});
  RunningLauncher launcher;
  Start(launcher);
  launcher.DoubleClickRow(0);

  const std::string profile = folder_ / "qnv\\13800000001";
  const std::string expected = "\"" + folder_.BrowserPath() + "\" --user-data-dir=\"" + profile +
                               "\" google-chrome --app=\"" + std::string(ConsoleUrl()) + "\"\r\n";
  EXPECT_TRUE(test::WaitUntil([&] { return !test::ReadWholeFile(folder_.LogPath()).empty(); }));
  EXPECT_EQ(test::ReadWholeFile(folder_.LogPath()), expected) << "started once, with this line";
  EXPECT_TRUE(test::FileExists(profile + "\\Local State")) << "the profile is copied from the template";

  launcher.ClickClearProfiles();
  EXPECT_TRUE(test::WaitUntil([&] { return !test::FolderExists(folder_ / "qnv"); }));
  EXPECT_TRUE(test::FolderExists(folder_ / "UserData__Templete"));
  EXPECT_EQ(launcher.ScreenRows(), (Rows{{"1", "13800000001"}}));
}

// ---- closing --------------------------------------------------------------

struct CloseCase {
  const char* name;
  bool escape;  // else the close box's command
};

class Closing : public EndToEnd, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(Closing, EndsTheProgramWithExitCodeZeroAndStoresNothing) {
  StoreRows({{"1", "abc"}});
  const FileStamp stamp = StampOf(folder_.ConfigPath());
  RunningLauncher launcher;
  Start(launcher);
  if (GetParam().escape) {
    launcher.ClickAccountBox();
    // Keys go to the foreground window's focus: wait until the click has
    // made the program's window the foreground one and its box has the focus.
    ASSERT_TRUE(test::WaitUntil([&] {
      GUITHREADINFO info = {sizeof info};
      return GetForegroundWindow() == launcher.window() &&
             GetGUIThreadInfo(GetWindowThreadProcessId(launcher.window(), nullptr), &info) && info.hwndFocus;
    }));
    TapKey(VK_ESCAPE);
  } else {
    // What the close box sends (there is no window manager to draw one).
    PostMessageA(launcher.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  DWORD exitCode = 99;
  ASSERT_TRUE(launcher.WaitForExit(exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_TRUE(StampOf(folder_.ConfigPath()) == stamp);
}

INSTANTIATE_TEST_SUITE_P(Ways, Closing, ::testing::Values(CloseCase{"EscapeKey", true}, CloseCase{"CloseBox", false}),
                         [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

}  // namespace

// KestrunLauncher.exe itself, started from a temporary program folder and used
// as a person would: the rows on screen and the deciphered config.ini must
// always agree, and each action must show where the user would see it.

#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "host/cipher.h"
#include "host/handles.h"
#include "launcher/command_line.h"
#include "host/list_content.h"
#include "host/texts.h"
#include "launcher/account_storage.h"
#include "end_to_end.h"
#include "launcher_window.h"
#include "input.h"
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
  test::TapKey(VK_HOME);
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
  const unsigned reason = GetParam().readOnly ? KL_TEXT_WHY_READ_ONLY : KL_TEXT_WHY_HELD;
  EXPECT_EQ(launcher.TakeNotice(), test::Narrow(ProgramText(KL_TEXT_SAVE_FAILED, {ProgramText(reason)})));
  EXPECT_EQ(launcher.ScreenRows(), (Rows{{"1", "abc"}, {"2", "def"}})) << "the rows stay on screen";
  lock.reset();
  SetFileAttributesA(folder_.ConfigPath().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()), stored) << "the old file stays whole";
  EXPECT_EQ(folder_.Entries(), WhileRunning(entries)) << "no temporary file is left behind";

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

// ---- accounts found by their browser's profile marker ----------------------

TEST_F(EndToEnd, AClickBringsForwardTheWindowOfTheBrowserThatMarksTheAccountsProfile) {
  StoreRows({{"1", "13800000001"}, {"2", "13800000002"}});
  MarkedBrowser browser;
  ASSERT_TRUE(browser.Start(folder_, "13800000001", "Kestrun Seller Console"));
  // An unrelated window that happens to carry the account text as its title.
  test::ChildProcess decoy;
  ASSERT_TRUE(decoy.Start("\"" + folder_.BrowserPath() + "\" --title=13800000001 --stay-ms=60000", folder_.path(),
                          {"KL_FAKE_BROWSER_LOG=" + (folder_ / "decoy.log")}));
  ASSERT_TRUE(test::WaitForProcessWindow(decoy.id(), "13800000001"));
  ShowWindow(browser.window(), SW_MINIMIZE);
  RunningLauncher launcher;
  Start(launcher);

  launcher.ClickRow(0);
  EXPECT_TRUE(
      test::WaitUntil([&] { return GetForegroundWindow() == browser.window() && !IsIconic(browser.window()); }));
  decoy.Kill();
  browser.End();
}

// Pixels of the screen rectangle: how many are of the open rows' blue, and
// how many carry ink at all (anything clearly darker than the background).
struct RowInk {
  int blue = 0;
  int ink = 0;
};

RowInk InkOf(const RECT& area) {
  RowInk counted;
  const int width = area.right - area.left, height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  const auto* pixel = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < width * height; ++i) {
    const int b = pixel[i] & 0xFF, g = (pixel[i] >> 8) & 0xFF, r = (pixel[i] >> 16) & 0xFF;
    if (b > 120 && r < 90 && g < 90) ++counted.blue;
    if (r + g + b < 3 * 160) ++counted.ink;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return counted;
}

TEST_F(EndToEnd, RowsWhoseBrowserRunsAreDrawnApartAndBackWhenItEnds) {
  StoreRows({{"1", "13800000001"}, {"2", "13800000002"}, {"3", "13800000003"}});
  RunningLauncher launcher;
  Start(launcher);
  const auto inkOfRow = [&](int row) { return InkOf(launcher.RowRect(row)); };
  const RowInk closed = inkOfRow(1);
  EXPECT_EQ(closed.blue, 0);
  ASSERT_GT(closed.ink, 0) << "the row's text is on the screen";

  MarkedBrowser browser;
  ASSERT_TRUE(browser.Start(folder_, "13800000002", "Kestrun Seller Console"));
  // Drawn apart within about a second: blue, and bolder than the same text unmarked.
  EXPECT_TRUE(test::WaitUntil([&] { return inkOfRow(1).blue > 0; }, std::chrono::seconds(3)));
  EXPECT_GT(inkOfRow(1).ink, inkOfRow(0).ink);
  EXPECT_EQ(inkOfRow(0).blue, 0);
  EXPECT_EQ(inkOfRow(2).blue, 0);

  browser.End();
  EXPECT_TRUE(test::WaitUntil([&] { return inkOfRow(1).blue == 0; }, std::chrono::seconds(3)));
  EXPECT_EQ(StoredRows(folder_.ConfigPath()), (Rows{{"1", "13800000001"}, {"2", "13800000002"}, {"3", "13800000003"}}));
}

// A crafted list of hundreds of thousands of empty rows, with a browser
// running: the twice-a-second look at the browsers reads no row, so the
// window keeps answering.
TEST_F(EndToEnd, AHugeListOfEmptyRowsLeavesTheWindowAnsweringWhileABrowserRuns) {
  const Bytes emptyRow = EncodeRowRecord(-1, 0, "");
  Bytes plain;
  plain.reserve(kStoredListLimit);
  const Bytes first = ContentOf({{"1", "13800000001"}});
  plain.insert(plain.end(), first.begin(), first.end());
  while (plain.size() + emptyRow.size() <= kStoredListLimit)
    plain.insert(plain.end(), emptyRow.begin(), emptyRow.end());
  ASSERT_TRUE(WriteStored(folder_.ConfigPath(), plain));
  const std::size_t rows = 1 + (plain.size() - first.size()) / emptyRow.size();
  ASSERT_GT(rows, 800000u);

  RunningLauncher launcher;
  ASSERT_TRUE(launcher.Start(folder_, {}, std::chrono::seconds(240)));
  ASSERT_TRUE(test::WaitUntil(
      [&] { return SendMessageA(launcher.list(), LVM_GETITEMCOUNT, 0, 0) == static_cast<LRESULT>(rows); },
      std::chrono::seconds(120)));
  MarkedBrowser browser;
  ASSERT_TRUE(browser.Start(folder_, "13800000001", "Kestrun Seller Console"));
  // Several refresh periods, each answered at once (the old refresh read every
  // row at every period, for seconds on end).
  int answered = 0;
  for (int i = 0; i < 20; ++i) {
    DWORD_PTR result = 0;
    answered += SendMessageTimeoutA(launcher.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
    test::PumpMessagesFor(std::chrono::milliseconds(150));
  }
  EXPECT_EQ(answered, 20);
  browser.End();
}

TEST_F(EndToEnd, ClearingLeavesTheProfileOfARunningBrowserAndRemovesTheRest) {
  StoreRows({{"1", "running"}, {"2", "closed"}});
  ASSERT_TRUE(test::MakeFolders(folder_ / "qnv\\running\\Default"));
  ASSERT_TRUE(test::MakeFolders(folder_ / "qnv\\closed\\Default"));
  ASSERT_TRUE(test::WriteWholeFile(folder_ / "qnv\\running\\Default\\Cookies", "logged in"));
  ASSERT_TRUE(test::WriteWholeFile(folder_ / "qnv\\closed\\Default\\Cookies", "old"));
  ASSERT_TRUE(test::WriteWholeFile(folder_ / "qnv\\closed\\Local State", "old"));
  ASSERT_TRUE(SetFileAttributesA((folder_ / "qnv\\closed\\Local State").c_str(), FILE_ATTRIBUTE_READONLY));
  MarkedBrowser browser;
  ASSERT_TRUE(browser.Start(folder_, "running", "Kestrun Seller Console"));
  RunningLauncher launcher;
  Start(launcher);

  launcher.ClickClearProfiles();
  EXPECT_TRUE(test::WaitUntil([&] { return !test::FolderExists(folder_ / "qnv\\closed"); }));
  EXPECT_EQ(test::ReadWholeFile(folder_ / "qnv\\running\\Default\\Cookies"), "logged in");
  EXPECT_TRUE(test::FolderExists(folder_ / "UserData__Templete"));

  browser.End();
  ASSERT_TRUE(test::WaitUntil([&] {
    return !FindWindowExA(HWND_MESSAGE, nullptr, "Chrome_MessageWindow", (folder_ / "qnv\\running").c_str());
  }));
  launcher.ClickClearProfiles();
  EXPECT_TRUE(test::WaitUntil([&] { return !test::FolderExists(folder_ / "qnv"); }));
}

// Thai and an emoji, which code page 936 cannot spell, and a full-width
// backslash and dots, which 1252 spells as "\" and ".": the profile root goes
// whole and everything beside it stays as it was.
TEST_F(EndToEnd, ClearingRemovesNamesOutsideTheCodePageAndNothingBesideTheProfileRoot) {
  StoreRows({{"1", "13800000001"}});
  const std::wstring thai = L"\u0e44\u0e17\u0e22", emoji = L"\U0001F600";
  const std::wstring base = test::LongPath(folder_.path());
  const std::wstring made[] = {L"qnv\\" + thai + L"\\Default\\Cookies",
                               L"qnv\\" + emoji + L"\\Local State",
                               L"qnv\\13800000001\\" + thai + emoji,
                               L"qnv\\x\uff3c\uff0e\uff0e\uff3c\uff0e\uff0e\uff3coutside\\Cookies",
                               L"outside\\precious",
                               thai + L"\\" + emoji};
  for (const std::wstring& relative : made) ASSERT_TRUE(test::MakeWide(base, relative)) << test::Narrow(relative);
  RunningLauncher launcher;
  Start(launcher);
  std::vector<std::wstring> beside = test::WideListing(base);
  beside.erase(std::remove_if(beside.begin(), beside.end(),
                              [](const std::wstring& entry) { return entry.rfind(L"qnv\\", 0) == 0; }),
               beside.end());

  launcher.ClickClearProfiles();
  EXPECT_TRUE(test::WaitUntil([&] { return !test::FolderExists(folder_ / "qnv"); }));
  EXPECT_EQ(test::WideListing(base), beside);
  EXPECT_EQ(launcher.ScreenRows(), (Rows{{"1", "13800000001"}}));
}

TEST_F(EndToEnd, DoubleClicksBeforeTheBrowsersMarkerCopyNothingAgain) {
  StoreRows({{"1", "13800000001"}});
  RunningLauncher launcher;
  // A browser that stays, and whose marker comes only after three seconds.
  Start(launcher,
        {"KL_FAKE_BROWSER_MARKER=1", "KL_FAKE_BROWSER_STAY_MS=60000", "KL_FAKE_BROWSER_MARKER_AFTER_MS=3000"});
  const std::string profile = folder_ / "qnv\\13800000001";
  const std::string line = "\"" + folder_.BrowserPath() + "\" --user-data-dir=\"" + profile +
                           "\" google-chrome --app=\"" + std::string(ConsoleUrl()) + "\"\r\n";
  launcher.DoubleClickRow(0);
  ASSERT_TRUE(test::WaitUntil([&] { return !test::ReadWholeFile(folder_.LogPath()).empty(); }));
  // The browser writes into its profile; a second copy would overwrite it.
  ASSERT_TRUE(test::WriteWholeFile(profile + "\\Local State", "{\"browser\":1}"));

  launcher.DoubleClickRow(0);
  const std::string marker = profile;
  ASSERT_TRUE(test::WaitUntil(
      [&] { return FindWindowExA(HWND_MESSAGE, nullptr, "Chrome_MessageWindow", marker.c_str()) != nullptr; }));
  EXPECT_EQ(test::ReadWholeFile(folder_.LogPath()), line) << "the second double-click started nothing";
  EXPECT_EQ(test::ReadWholeFile(profile + "\\Local State"), "{\"browser\":1}");

  // With the marker up, a double-click hands the request to the running
  // browser and still copies nothing.
  launcher.DoubleClickRow(0);
  EXPECT_TRUE(test::WaitUntil([&] { return test::ReadWholeFile(folder_.LogPath()) == line + line; }));
  EXPECT_EQ(test::ReadWholeFile(profile + "\\Local State"), "{\"browser\":1}");
}

TEST_F(EndToEnd, ClosingWhileATemplateIsCopiedEndsCleanly) {
  // A template big enough that the copy is still going when the close comes.
  const std::string block(32768, 't');
  for (int i = 0; i < 300; ++i)
    ASSERT_TRUE(test::WriteWholeFile(folder_ / ("UserData__Templete\\big" + std::to_string(i)), block));
  StoreRows({{"1", "13800000001"}});
  RunningLauncher launcher;
  Start(launcher);
  launcher.DoubleClickRow(0);
  PostMessageA(launcher.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD exitCode = 99;
  ASSERT_TRUE(launcher.WaitForExit(exitCode));
  EXPECT_EQ(exitCode, 0u);

  test::PumpMessagesFor(std::chrono::milliseconds(1500));  // a browser started late would have logged by now
  // Either the launch had started its browser before the close, with the
  // whole template copied, or no browser starts at all.
  if (!test::ReadWholeFile(folder_.LogPath()).empty()) {
    for (int i = 0; i < 300; ++i)
      EXPECT_EQ(test::ReadWholeFile(folder_ / ("qnv\\13800000001\\big" + std::to_string(i))), block) << i;
  }
  // What was copied was copied whole.
  for (int i = 0; i < 300; ++i) {
    const std::string copied = folder_ / ("qnv\\13800000001\\big" + std::to_string(i));
    if (test::FileExists(copied)) {
      EXPECT_EQ(test::ReadWholeFile(copied), block) << copied;
    }
  }
}

TEST_F(EndToEnd, ADoubleClickOnARefusedNameMakesAndStartsNothing) {
  // A short-name form could be another account's folder; "..\\x" would climb out.
  StoreRows({{"1", "138001~1"}, {"2", "..\\x"}});
  RunningLauncher launcher;
  Start(launcher);
  launcher.DoubleClickRow(0);
  launcher.DoubleClickRow(1);
  test::PumpMessagesFor(std::chrono::milliseconds(1500));  // a launch would have logged by now
  EXPECT_FALSE(test::FileExists(folder_.LogPath()));
  EXPECT_FALSE(test::FolderExists(folder_ / "qnv"));
  EXPECT_FALSE(test::FolderExists(folder_ / "x"));
}

TEST_F(EndToEnd, ProgramPathFoundThroughAppPathsWithoutTheClassKey) {
  icon_.Remove();
  const char* const key = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe";
  HKEY opened = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr),
            ERROR_SUCCESS);
  const std::string path = folder_.BrowserPath();
  RegSetValueExA(opened, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                 static_cast<DWORD>(path.size() + 1));
  RegCloseKey(opened);
  RunningLauncher launcher;
  Start(launcher);
  EXPECT_EQ(launcher.BrowserPathText(), path);
  RegDeleteTreeA(HKEY_CURRENT_USER, key);
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
    test::TapKey(VK_ESCAPE);
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

// ---- undo and find by typing -----------------------------------------------

// One change of each kind through the window, then Ctrl+Z in the list step by
// step back: each time the rows on screen and the whole stored body, row
// values included, are those before the change.
TEST_F(EndToEnd, CtrlZUndoesEachKindOfChangeStepByStep) {
  ASSERT_TRUE(
      WriteStored(folder_.ConfigPath(), ContentOf({{"1", "w"}, {"2", "x"}, {"3", "y"}, {"4", "z"}}, {0, 7, 0, 9})));
  RunningLauncher launcher;
  Start(launcher);
  struct State {
    Rows rows;
    std::vector<std::int32_t> values;
  };
  std::vector<State> states = {{{{"1", "w"}, {"2", "x"}, {"3", "y"}, {"4", "z"}}, {0, 7, 0, 9}}};

  launcher.SetAccountText("e");
  launcher.ClickAdd();
  states.push_back({{{"1", "w"}, {"2", "x"}, {"3", "y"}, {"4", "z"}, {"5", "e"}}, {0, 7, 0, 9, 0}});
  ExpectRows(launcher, states.back().rows, states.back().values);

  launcher.ClickRow(1);
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "x"; }));
  launcher.SetAccountText("X");
  launcher.ClickModify();
  states.push_back({{{"1", "w"}, {"2", "X"}, {"3", "y"}, {"4", "z"}, {"5", "e"}}, {0, 7, 0, 9, 0}});
  ExpectRows(launcher, states.back().rows, states.back().values);

  launcher.ClickRow(0);
  launcher.ClickDelete();
  states.push_back({{{"1", "X"}, {"2", "y"}, {"3", "z"}, {"4", "e"}}, {7, 0, 9, 0}});
  ExpectRows(launcher, states.back().rows, states.back().values);

  launcher.DragRow(3, 0);
  states.push_back({{{"4", "e"}, {"1", "X"}, {"2", "y"}, {"3", "z"}}, {0, 7, 0, 9}});
  ExpectRows(launcher, states.back().rows, states.back().values);

  launcher.ClickRenumber();
  states.push_back({{{"1", "e"}, {"2", "X"}, {"3", "y"}, {"4", "z"}}, {0, 7, 0, 9}});
  ExpectRows(launcher, states.back().rows, states.back().values);

  launcher.ClickRow(3);  // the list takes the keys
  for (std::size_t k = states.size() - 1; k-- > 0;) {
    SCOPED_TRACE(k);
    test::TapKeyWith({VK_CONTROL}, 'Z');
    ExpectRows(launcher, states[k].rows, states[k].values);
  }
  const FileStamp before = StampOf(folder_.ConfigPath());
  test::TapKeyWith({VK_CONTROL}, 'Z');
  test::PumpMessagesFor(std::chrono::milliseconds(700));
  EXPECT_TRUE(StampOf(folder_.ConfigPath()) == before) << "nothing to undo stores nothing";
  ExpectRows(launcher, states.front().rows, states.front().values);
}

// Selects a row by the keyboard alone: a click below the rows gives the list
// the focus (and selects nothing, so the row last clicked stays), then the
// keys move the selection (a key that would not move the focus mark selects
// nothing).
void SelectByKeyboard(RunningLauncher& launcher, const std::vector<WORD>& keys, int expected) {
  const RECT last = launcher.RowRect(static_cast<int>(launcher.ScreenRows().size()) - 1);
  test::WaitOutDoubleClick();
  test::ClickAt({last.left + 20, last.bottom + 3 * (last.bottom - last.top)});
  test::WaitOutDoubleClick();
  for (WORD key : keys) test::TapKey(key);
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.SelectedRow() == expected; }));
}

// Modify changes the row last clicked after deletes above it moved it, and
// changes nothing once that row itself is deleted, until the next click.
TEST_F(EndToEnd, ModifyFollowsTheRowLastClickedThroughDeletes) {
  StoreRows({{"1", "w"}, {"2", "x"}, {"3", "y"}, {"4", "z"}});
  RunningLauncher launcher;
  Start(launcher);
  launcher.ClickRow(2);  // y
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "y"; }));
  SelectByKeyboard(launcher, {VK_HOME}, 0);
  launcher.ClickDelete();  // w
  ExpectRows(launcher, {{"1", "x"}, {"2", "y"}, {"3", "z"}});
  SelectByKeyboard(launcher, {VK_HOME}, 0);
  launcher.SetAccountText("Y");
  launcher.ClickModify();
  ExpectRows(launcher, {{"1", "x"}, {"2", "Y"}, {"3", "z"}});

  launcher.ClickRow(2);  // z
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "z"; }));
  SelectByKeyboard(launcher, {VK_HOME, VK_END}, 2);
  launcher.ClickDelete();  // z itself
  ExpectRows(launcher, {{"1", "x"}, {"2", "Y"}});
  SelectByKeyboard(launcher, {VK_HOME}, 0);
  launcher.SetAccountText("lost");
  const FileStamp before = StampOf(folder_.ConfigPath());
  launcher.ClickModify();
  EXPECT_TRUE(WaitForSave(before)) << "stored as before, unchanged";
  ExpectRows(launcher, {{"1", "x"}, {"2", "Y"}});

  launcher.ClickRow(0);
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "x"; }));
  launcher.SetAccountText("after");
  launcher.ClickModify();
  ExpectRows(launcher, {{"1", "after"}, {"2", "Y"}});
}

bool RowOnScreen(HWND list, int row) {
  const auto top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  const auto perPage = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
  return row >= top && row < top + perPage;
}

// Typed digits select and bring into view the first row whose account
// contains them, searching on from the row found while typing goes on, and
// from the row after the selection after a pause, round the list. The list's
// own search of the sequence numbers is gone, and neither the account box nor
// the row last clicked changes.
TEST_F(EndToEnd, TypingFindsTheRowWhoseAccountContainsWhatWasTyped) {
  Rows rows = {{"1", "13800000001"}, {"2", "Shop-A"}, {"3", "13900000002"}, {"4", "Shop-B"}};
  for (char a = 'a'; rows.size() < 58; ++a)
    for (char b = 'a'; b <= 'z' && rows.size() < 58; ++b)
      rows.push_back({std::to_string(rows.size() + 1), {'k', a, b}});
  rows.push_back({"59", "15000000138"});
  rows.push_back({"60", "13800000003"});
  StoreRows(rows);
  RunningLauncher launcher;
  Start(launcher);
  ASSERT_TRUE(RowOnScreen(launcher.list(), 0));
  ASSERT_FALSE(RowOnScreen(launcher.list(), 59)) << "the list must be longer than its window";
  launcher.ClickRow(0);
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "13800000001"; }));

  struct Search {
    const char* typed;
    int found;
  };
  const Search searches[] = {
      {"0003", 59},  // 0, 00, 000 stay on row 2; 0003 goes on from there, round to row 59
      {"138", 0},    // a new search after row 59: round to the top
      {"138", 58},   // after row 0: 13 finds row 2, 138 goes on from it to row 58
      {"2", 2},      // not row 1, whose sequence number is 2
      {"shop", 3},   // letters whatever their case, after row 2
  };
  for (const Search& search : searches) {
    SCOPED_TRACE(search.typed);
    test::PumpMessagesFor(std::chrono::milliseconds(1300));  // a pause
    test::TypeKeys(search.typed);
    EXPECT_TRUE(test::WaitUntil([&] { return launcher.SelectedRow() == search.found; }, std::chrono::seconds(3)));
    test::PumpMessagesFor(std::chrono::milliseconds(200));
    EXPECT_EQ(launcher.SelectedRow(), search.found);
    EXPECT_TRUE(RowOnScreen(launcher.list(), search.found));
    EXPECT_EQ(launcher.AccountText(), "13800000001");
  }
  test::PumpMessagesFor(std::chrono::milliseconds(1300));
  test::TypeKeys("777");  // in no account: the selection stays
  test::PumpMessagesFor(std::chrono::milliseconds(500));
  EXPECT_EQ(launcher.SelectedRow(), 3);

  launcher.SetAccountText("new");
  launcher.ClickModify();
  rows[0].second = "new";
  ExpectRows(launcher, rows);
}

}  // namespace

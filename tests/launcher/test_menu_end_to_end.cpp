// The list's menu, its shortcuts and the clipboard, on the real program under
// Wine: the menu opened with a real right-click and its items chosen by their
// access keys, the clipboard read and written here through OpenClipboard.

#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "clipboard_text.h"
#include "end_to_end.h"
#include "host/window.h"
#include "launcher/command_line.h"
#include "input.h"
#include "launcher_window.h"
#include "stored_list.h"
#include "win_test_support.h"

using namespace launcher_test;

namespace {

// ---- the menu ---------------------------------------------------------------

// The program's open popup menu; 0 when none appears in time.
HWND WaitForMenu(DWORD processId) { return WaitForShownWindowOfClass(processId, "#32768", std::chrono::seconds(5)); }

// Chooses the item of the access key in the open menu; true when the menu
// went away.
bool Choose(HWND menu, WORD accessKey) {
  test::TapKey(accessKey);
  return test::WaitUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); });
}

// Opens the list's menu with a right-click at the point; 0 when it did not
// come up.
HWND RightClickMenuAt(RunningLauncher& launcher, POINT at) {
  test::WaitOutDoubleClick();
  test::RightClickAt(at);
  return WaitForMenu(launcher.processId());
}

// The same, then chooses the item of the access key; true when the menu came
// up and went again.
bool ChooseAt(RunningLauncher& launcher, POINT at, WORD accessKey) {
  const HWND menu = RightClickMenuAt(launcher, at);
  return menu != nullptr && Choose(menu, accessKey);
}

POINT TopLeftOf(HWND window) {
  RECT bounds = {};
  GetWindowRect(window, &bounds);
  return {bounds.left, bounds.top};
}

bool ChooseOnRow(RunningLauncher& launcher, int row, WORD accessKey) {
  return ChooseAt(launcher, launcher.RowPoint(row), accessKey);
}

// A point of the list below its last row.
POINT BelowTheRows(RunningLauncher& launcher) {
  const RECT last = launcher.RowRect(static_cast<int>(launcher.ScreenRows().size()) - 1);
  return {last.left + 80, last.bottom + 3 * (last.bottom - last.top)};
}

bool ChooseBelowTheRows(RunningLauncher& launcher, WORD accessKey) {
  return ChooseAt(launcher, BelowTheRows(launcher), accessKey);
}

// Gives the list the keyboard focus with a click below its rows (no row is
// selected, the row last clicked stays), then selects the row by keys.
void FocusListAtRow(RunningLauncher& launcher, int row) {
  test::WaitOutDoubleClick();
  test::ClickAt(BelowTheRows(launcher));
  test::WaitOutDoubleClick();
  test::TapKey(VK_HOME);
  for (int i = 0; i < row; ++i) test::TapKey(VK_DOWN);
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.SelectedRow() == row; }));
}

// Waits a moment and tells whether config.ini is still as it was.
bool StoredNothing(const std::string& config, const FileStamp& before) {
  test::PumpMessagesFor(std::chrono::milliseconds(700));
  return StampOf(config) == before;
}

const std::string kShopOne = "\xB5\xEA\xC6\xCC\xD2\xBB";  // 店铺一 in GBK
const std::string kShopTwo = "\xB5\xEA\xC6\xCC\xB6\xFE";  // 店铺二

// ---- copying out ------------------------------------------------------------

// The menu and the shortcuts copy the row's account or all accounts; the
// account box and the row last clicked stay as they were; in the account box
// Ctrl+C copies the box's text.
TEST_F(EndToEnd, TheAccountsGoToTheClipboardByMenuAndByShortcut) {
  StoreRows({{"1", "13800000001"}, {"2", kShopOne}, {"3", "13800000003"}});
  RunningLauncher launcher;
  Start(launcher);
  launcher.ClickRow(0);
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "13800000001"; }));

  // The menu opens at the pointer.
  const HWND menu = RightClickMenuAt(launcher, launcher.RowPoint(1));
  ASSERT_TRUE(menu);
  const POINT menuAt = TopLeftOf(menu), pointer = launcher.RowPoint(1);
  EXPECT_EQ(menuAt.x, pointer.x);
  EXPECT_EQ(menuAt.y, pointer.y);
  ASSERT_TRUE(Choose(menu, 'C'));
  EXPECT_EQ(test::ClipboardText(), L"\u5e97\u94fa\u4e00");
  EXPECT_EQ(launcher.SelectedRow(), 1) << "the right-click selects its row";
  EXPECT_EQ(launcher.AccountText(), "13800000001");
  // 修改 still changes the row last clicked, not the right-clicked one.
  launcher.SetAccountText("13800000009");
  launcher.ClickModify();
  ExpectRows(launcher, {{"1", "13800000009"}, {"2", kShopOne}, {"3", "13800000003"}});

  FocusListAtRow(launcher, 2);
  test::TapKeyWith({VK_CONTROL}, 'C');
  EXPECT_TRUE(test::WaitUntil([&] { return test::ClipboardText() == L"13800000003"; }));
  test::TapKeyWith({VK_CONTROL, VK_SHIFT}, 'C');
  const std::wstring all = L"13800000009\r\n\u5e97\u94fa\u4e00\r\n13800000003";
  EXPECT_TRUE(test::WaitUntil([&] { return test::ClipboardText() == all; }));
  EXPECT_EQ(test::ClipboardText(), all);

  ASSERT_TRUE(test::PutClipboardText(L"old"));
  ASSERT_TRUE(ChooseBelowTheRows(launcher, 'A'));
  EXPECT_TRUE(test::WaitUntil([&] { return test::ClipboardText() == all; }));
  // Below the rows the row items are disabled: 复制账号 copies nothing.
  ASSERT_TRUE(test::PutClipboardText(L"old"));
  ASSERT_TRUE(ChooseBelowTheRows(launcher, 'C'));
  test::PumpMessagesFor(std::chrono::milliseconds(300));
  EXPECT_EQ(test::ClipboardText(), L"old");

  // In the account box the keys keep their meaning.
  launcher.SetAccountText("typed");
  launcher.ClickAccountBox();
  ASSERT_TRUE(test::WaitUntil([&] { return GetForegroundWindow() == launcher.window(); }));
  test::TapKey(VK_HOME);
  test::TapKeyWith({VK_SHIFT}, VK_END);
  test::TapKeyWith({VK_CONTROL}, 'C');
  EXPECT_TRUE(test::WaitUntil([&] { return test::ClipboardText() == L"typed"; }));
  ExpectRows(launcher, {{"1", "13800000009"}, {"2", kShopOne}, {"3", "13800000003"}});
}

// Copy of an empty list leaves the clipboard alone.
TEST_F(EndToEnd, CopyingAllOfAnEmptyListLeavesTheClipboard) {
  RunningLauncher launcher;
  Start(launcher);
  ASSERT_TRUE(test::PutClipboardText(L"old"));
  const RECT list = [&] {
    RECT r = {};
    GetWindowRect(launcher.list(), &r);
    return r;
  }();
  const POINT inside = {(list.left + list.right) / 2, (list.top + list.bottom) / 2};
  ASSERT_TRUE(ChooseAt(launcher, inside, 'A'));
  test::TapKeyWith({VK_CONTROL, VK_SHIFT}, 'C');
  test::PumpMessagesFor(std::chrono::milliseconds(300));
  EXPECT_EQ(test::ClipboardText(), L"old");
}

// ---- pasting in -------------------------------------------------------------

// What a paste that skipped lines tells, in GBK.
std::string SkippedNotice(const std::wstring& count) {
  // 有 %1 行含有本机中文编码无法表示的字符，没有添加。
  return test::Narrow(L"\u6709 " + count +
                      L" \u884c\u542b\u6709\u672c\u673a\u4e2d\u6587\u7f16\u7801\u65e0\u6cd5\u8868\u793a\u7684\u5b57"
                      L"\u7b26\uff0c\u6ca1\u6709\u6dfb\u52a0\u3002");
}

// Rows copied from a spreadsheet: the first cell of each line, trimmed, goes
// at the end numbered on from the row count, in one save and one undo step;
// a line that code page 936 cannot spell is skipped and counted.
TEST_F(EndToEnd, PastedLinesBecomeRowsAtTheEndInOneStep) {
  ASSERT_TRUE(WriteStored(folder_.ConfigPath(), ContentOf({{"5", "a"}, {"9", "b"}}, {3, 4})));
  RunningLauncher launcher;
  Start(launcher);
  ASSERT_TRUE(
      test::PutClipboardText(L"13800000011\t\u5e97\u94fa\u4e00\t\u5907\u6ce8\r\n"
                             L"\r\n"
                             L"  13800000012 \t\r\n"
                             L"\u0e44\u0e17\u0e22\t13800000019\r\n"
                             L"\t\r\n"
                             L"\u5e97\u94fa\u4e8c\n"
                             L"13800000013\r"));
  FocusListAtRow(launcher, 0);
  test::TapKeyWith({VK_CONTROL}, 'V');
  EXPECT_EQ(launcher.TakeNotice(), SkippedNotice(L"1"));
  const Rows pasted = {{"5", "a"},           {"9", "b"},      {"3", "13800000011"},
                       {"4", "13800000012"}, {"5", kShopTwo}, {"6", "13800000013"}};
  ExpectRows(launcher, pasted, {3, 4});

  // One step back takes the whole paste away.
  FocusListAtRow(launcher, 0);
  test::TapKeyWith({VK_CONTROL}, 'Z');
  ExpectRows(launcher, {{"5", "a"}, {"9", "b"}}, {3, 4});

  // From the menu, below the rows, and 撤销 from the menu too.
  ASSERT_TRUE(test::PutClipboardText(L"x\r\ny\r\n"));
  ASSERT_TRUE(ChooseBelowTheRows(launcher, 'V'));
  ExpectRows(launcher, {{"5", "a"}, {"9", "b"}, {"3", "x"}, {"4", "y"}}, {3, 4});
  ASSERT_TRUE(ChooseOnRow(launcher, 3, 'Z'));
  ExpectRows(launcher, {{"5", "a"}, {"9", "b"}}, {3, 4});

  // Nothing that makes a row: nothing stored; the skipped lines are told.
  ASSERT_TRUE(test::PutClipboardText(L"\r\n  \r\n\U0001F600\r\n\u0e44\t13800000019"));
  FileStamp before = StampOf(folder_.ConfigPath());
  FocusListAtRow(launcher, 1);
  test::TapKeyWith({VK_CONTROL}, 'V');
  EXPECT_EQ(launcher.TakeNotice(), SkippedNotice(L"2"));
  EXPECT_TRUE(StoredNothing(folder_.ConfigPath(), before));

  // In the account box Ctrl+V pastes into the box.
  ASSERT_TRUE(test::PutClipboardText(L"13800000077"));
  launcher.SetAccountText("");
  launcher.ClickAccountBox();
  before = StampOf(folder_.ConfigPath());
  test::TapKeyWith({VK_CONTROL}, 'V');
  EXPECT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "13800000077"; }));
  EXPECT_TRUE(StoredNothing(folder_.ConfigPath(), before));
  ExpectRows(launcher, {{"5", "a"}, {"9", "b"}}, {3, 4});
}

// ---- deleting and undoing -----------------------------------------------------

TEST_F(EndToEnd, RowsAreDeletedByMenuAndByKeyAndComeBackByUndo) {
  StoreRows({{"1", "w"}, {"2", "x"}, {"3", "y"}, {"4", "z"}});
  RunningLauncher launcher;
  Start(launcher);
  ASSERT_TRUE(ChooseOnRow(launcher, 1, 'D'));
  ExpectRows(launcher, {{"1", "w"}, {"2", "y"}, {"3", "z"}});
  FocusListAtRow(launcher, 2);
  test::TapKey(VK_DELETE);
  ExpectRows(launcher, {{"1", "w"}, {"2", "y"}});

  // Below the rows 删除 is disabled, and Delete in the account box is the box's.
  FileStamp before = StampOf(folder_.ConfigPath());
  ASSERT_TRUE(ChooseBelowTheRows(launcher, 'D'));
  EXPECT_TRUE(StoredNothing(folder_.ConfigPath(), before));
  launcher.ClickRow(0);
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "w"; }));
  launcher.ClickAccountBox();
  test::TapKey(VK_HOME);
  test::TapKey(VK_DELETE);
  EXPECT_TRUE(test::WaitUntil([&] { return launcher.AccountText().empty(); }));
  EXPECT_TRUE(StoredNothing(folder_.ConfigPath(), before));
  EXPECT_EQ(launcher.ScreenRows(), (Rows{{"1", "w"}, {"2", "y"}}));

  ASSERT_TRUE(ChooseOnRow(launcher, 0, 'Z'));
  ExpectRows(launcher, {{"1", "w"}, {"2", "y"}, {"3", "z"}});
  FocusListAtRow(launcher, 0);
  test::TapKeyWith({VK_CONTROL}, 'Z');
  ExpectRows(launcher, {{"1", "w"}, {"2", "x"}, {"3", "y"}, {"4", "z"}});
  // Nothing left to undo: 撤销 does nothing.
  before = StampOf(folder_.ConfigPath());
  ASSERT_TRUE(ChooseOnRow(launcher, 0, 'Z'));
  EXPECT_TRUE(StoredNothing(folder_.ConfigPath(), before));
  ExpectRows(launcher, {{"1", "w"}, {"2", "x"}, {"3", "y"}, {"4", "z"}});
}

// ---- the account's browser and profile -----------------------------------------

TEST_F(EndToEnd, TheMenuOpensAnAccountAndBringsItsWindowForward) {
  StoreRows({{"1", "13800000001"}, {"2", "13800000002"}});
  MarkedBrowser browser;
  ASSERT_TRUE(browser.Start(folder_, "13800000002", "Kestrun Seller Console"));
  RunningLauncher launcher;
  Start(launcher);
  const std::string box = launcher.AccountText();

  ASSERT_TRUE(ChooseOnRow(launcher, 0, 'O'));
  const std::string profile = folder_ / "qnv\\13800000001";
  const std::string expected = "\"" + folder_.BrowserPath() + "\" --user-data-dir=\"" + profile +
                               "\" google-chrome --app=\"" + std::string(ConsoleUrl()) + "\"\r\n";
  EXPECT_TRUE(test::WaitUntil([&] { return !test::ReadWholeFile(folder_.LogPath()).empty(); }));
  EXPECT_EQ(test::ReadWholeFile(folder_.LogPath()), expected) << "started once, with this line";

  SetForegroundWindow(launcher.window());
  ASSERT_TRUE(test::WaitUntil([&] { return GetForegroundWindow() == launcher.window(); }));
  ASSERT_TRUE(ChooseOnRow(launcher, 1, 'W'));
  EXPECT_TRUE(test::WaitUntil([&] { return GetForegroundWindow() == browser.window(); }));
  EXPECT_EQ(launcher.AccountText(), box) << "the account box stays";
  EXPECT_EQ(test::ReadWholeFile(folder_.LogPath()), expected) << "nothing more was started";
}

// What a refused clearing of the account's profile tells, in GBK.
std::string RefusedNotice(const std::string& account) {
  // 账号 %1 的浏览器正在运行或正在打开，它的临时文件没有清除。请先关闭这个账号的浏览器窗口再试。
  return test::Narrow(L"\u8d26\u53f7 " + test::Widen(account) +
                      L" \u7684\u6d4f\u89c8\u5668\u6b63\u5728\u8fd0\u884c\u6216\u6b63\u5728\u6253\u5f00\uff0c\u5b83"
                      L"\u7684\u4e34\u65f6\u6587\u4ef6\u6ca1\u6709\u6e05\u9664\u3002\u8bf7\u5148\u5173\u95ed\u8fd9"
                      L"\u4e2a\u8d26\u53f7\u7684\u6d4f\u89c8\u5668\u7a97\u53e3\u518d\u8bd5\u3002");
}

// One profile goes whole, read-only files too; the profiles beside it and the
// list stay. The profile of a running browser, or of a launch under way, is
// refused and told.
TEST_F(EndToEnd, ClearingOneProfileLeavesTheOthersAndRefusesARunningOne) {
  StoreRows({{"1", "running"}, {"2", "closed"}, {"3", "other"}});
  for (const char* account : {"running", "closed", "other"}) {
    ASSERT_TRUE(test::MakeFolders(folder_ / ("qnv\\" + std::string(account) + "\\Default")));
    ASSERT_TRUE(test::WriteWholeFile(folder_ / ("qnv\\" + std::string(account) + "\\Default\\Cookies"), account));
  }
  ASSERT_TRUE(test::WriteWholeFile(folder_ / "qnv\\closed\\Local State", "old"));
  ASSERT_TRUE(SetFileAttributesA((folder_ / "qnv\\closed\\Local State").c_str(), FILE_ATTRIBUTE_READONLY));
  MarkedBrowser browser;
  ASSERT_TRUE(browser.Start(folder_, "running", "Kestrun Seller Console"));
  RunningLauncher launcher;
  Start(launcher);
  const FileStamp stored = StampOf(folder_.ConfigPath());

  ASSERT_TRUE(ChooseOnRow(launcher, 1, 'R'));
  EXPECT_TRUE(test::WaitUntil([&] { return !test::FolderExists(folder_ / "qnv\\closed"); }));
  EXPECT_EQ(test::ReadWholeFile(folder_ / "qnv\\running\\Default\\Cookies"), "running");
  EXPECT_EQ(test::ReadWholeFile(folder_ / "qnv\\other\\Default\\Cookies"), "other");

  ASSERT_TRUE(ChooseOnRow(launcher, 0, 'R'));
  EXPECT_EQ(launcher.TakeNotice(), RefusedNotice("running"));
  EXPECT_EQ(test::ReadWholeFile(folder_ / "qnv\\running\\Default\\Cookies"), "running");
  EXPECT_EQ(test::ReadWholeFile(folder_ / "qnv\\other\\Default\\Cookies"), "other");
  EXPECT_TRUE(StampOf(folder_.ConfigPath()) == stored) << "the list is not stored";
  EXPECT_EQ(launcher.ScreenRows(), (Rows{{"1", "running"}, {"2", "closed"}, {"3", "other"}}));

  // Once the browser has ended, the profile goes.
  browser.End();
  ASSERT_TRUE(test::WaitUntil([&] {
    return !FindWindowExA(HWND_MESSAGE, nullptr, "Chrome_MessageWindow", (folder_ / "qnv\\running").c_str());
  }));
  ASSERT_TRUE(ChooseOnRow(launcher, 0, 'R'));
  EXPECT_TRUE(test::WaitUntil([&] { return !test::FolderExists(folder_ / "qnv\\running"); }));
  EXPECT_EQ(test::ReadWholeFile(folder_ / "qnv\\other\\Default\\Cookies"), "other");
}

TEST_F(EndToEnd, ClearingAProfileWhoseLaunchIsUnderWayIsRefused) {
  StoreRows({{"1", "13800000001"}});
  RunningLauncher launcher;
  // A browser that stays, and whose marker comes only after five seconds.
  Start(launcher,
        {"KL_FAKE_BROWSER_MARKER=1", "KL_FAKE_BROWSER_STAY_MS=60000", "KL_FAKE_BROWSER_MARKER_AFTER_MS=5000"});
  launcher.DoubleClickRow(0);
  ASSERT_TRUE(test::WaitUntil([&] { return !test::ReadWholeFile(folder_.LogPath()).empty(); }));
  ASSERT_TRUE(ChooseOnRow(launcher, 0, 'R'));
  EXPECT_EQ(launcher.TakeNotice(), RefusedNotice("13800000001"));
  EXPECT_TRUE(test::FileExists(folder_ / "qnv\\13800000001\\Local State"));
}

// A visible top-level window of another process than `except` with the
// title; 0 when none.
HWND WindowTitledOutside(const std::string& title, DWORD except) {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != except && IsWindowVisible(w) && WindowText(w) == title) return w;
  }
  return nullptr;
}

// 打开配置文件夹 opens the file manager on the profile folder, and only when
// the folder exists.
TEST_F(EndToEnd, TheProfileFolderOpensInTheFileManager) {
  StoreRows({{"1", "13800000001"}, {"2", "13800000002"}});
  ASSERT_TRUE(test::MakeFolders(folder_ / "qnv\\13800000002\\Default"));
  RunningLauncher launcher;
  Start(launcher);
  ASSERT_TRUE(ChooseOnRow(launcher, 0, 'F'));  // no folder: disabled
  test::PumpMessagesFor(std::chrono::seconds(2));
  EXPECT_FALSE(WindowTitledOutside("13800000001", launcher.processId()));

  ASSERT_TRUE(ChooseOnRow(launcher, 1, 'F'));
  HWND shown = nullptr;
  EXPECT_TRUE(test::WaitUntil([&] { return (shown = WindowTitledOutside("13800000002", launcher.processId())); }));
  if (shown) {
    PostMessageA(shown, WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::WaitUntil([&] { return !IsWindow(shown); }));
  }
}

// The menu key opens the menu at the selected row.
TEST_F(EndToEnd, TheMenuKeyOpensTheMenuAtTheSelectedRow) {
  StoreRows({{"1", "13800000001"}, {"2", "13800000002"}});
  RunningLauncher launcher;
  Start(launcher);
  FocusListAtRow(launcher, 1);
  test::TapKey(VK_APPS);
  HWND menu = WaitForMenu(launcher.processId());
  ASSERT_TRUE(menu);
  // Just below the selected row.
  EXPECT_EQ(TopLeftOf(menu).y, launcher.RowRect(1).bottom);
  ASSERT_TRUE(Choose(menu, 'C'));
  EXPECT_TRUE(test::WaitUntil([&] { return test::ClipboardText() == L"13800000002"; }));
  // Esc leaves the menu and nothing else: the program goes on.
  test::TapKeyWith({VK_SHIFT}, VK_F10);
  menu = WaitForMenu(launcher.processId());
  ASSERT_TRUE(menu);
  test::TapKey(VK_ESCAPE);
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(menu); }));
  test::PumpMessagesFor(std::chrono::milliseconds(500));
  EXPECT_TRUE(IsWindow(launcher.window()));
}

}  // namespace

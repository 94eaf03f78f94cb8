// KestrunLauncher.exe as the user starts it: its events reach the launcher's
// handlers, and closing it ends the process with exit code 0.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "ui/layout.h"
#include "win_test_support.h"

namespace {

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST(ProgramTest, AddingAnAccountStoresItAndClosingEndsTheProgram) {
  test::TempFolder folder;
  ASSERT_TRUE(test::CopyFromBin("KestrunLauncher.exe", folder.path()));
  test::ChildProcess program;
  // Started from another folder: the program works in its own.
  ASSERT_TRUE(program.Start("\"" + (folder / "KestrunLauncher.exe") + "\"", test::BinFolder()));
  HWND window = test::WaitForProcessWindow(program.id(), test::Narrow(L"仅支持Kestrun"));
  ASSERT_NE(window, nullptr);
  // Found as soon as it exists: wait until it is built and shown.
  ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(window) != 0; }));
  HWND group = GetDlgItem(window, ControlCommandId(ControlId::Group1));
  ASSERT_NE(group, nullptr);
  HWND list = GetDlgItem(group, ControlCommandId(ControlId::List1));
  HWND account = GetDlgItem(group, ControlCommandId(ControlId::Edit1));
  HWND browserPath = GetDlgItem(group, ControlCommandId(ControlId::Edit2));
  HWND add = GetDlgItem(group, ControlCommandId(ControlId::Button4));
  ASSERT_TRUE(list && account && browserPath && add);

  // The created event ran the start-up handler: the layout's path is replaced.
  EXPECT_NE(WindowText(browserPath), L"C:\\Program Files (x86)\\Google\\Chrome\\Application\\chrome.exe");
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);

  SendMessageW(account, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"13800000000"));
  PostMessageW(add, BM_CLICK, 0, 0);
  EXPECT_TRUE(test::WaitUntil([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
  EXPECT_TRUE(test::WaitUntil([&] { return test::FileExists(folder / "config.ini"); }));

  PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD exitCode = 1;
  ASSERT_TRUE(program.WaitForExit(exitCode));
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace

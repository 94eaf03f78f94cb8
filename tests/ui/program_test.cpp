// The released program folder, as a user unpacks it: its files, the
// program's version, and the program started from there adding an account
// and closing.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/layout.h"
#include "version.h"
#include "win_test_support.h"

namespace {

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

// Starts the program of `folder` from another folder (it works in its own),
// adds an account, which is stored beside the program, and closes it.
void AddAnAccountThenClose(const std::string& folder) {
  const std::string config = folder + "\\config.ini";
  test::ChildProcess program;
  ASSERT_TRUE(program.Start("\"" + folder + "\\KestrunLauncher.exe\"", test::BinFolder()));
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
  EXPECT_TRUE(test::WaitUntil([&] { return test::FileExists(config); }));

  PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD exitCode = 1;
  ASSERT_TRUE(program.WaitForExit(exitCode));
  EXPECT_EQ(exitCode, 0u);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

// The version resource's fixed and text versions, as "1.2.3.0 / 1.2.3".
std::string VersionOf(const std::string& program) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
  std::vector<char> block(size);
  if (size == 0 || !GetFileVersionInfoA(program.c_str(), 0, size, block.data())) return {};
  VS_FIXEDFILEINFO* fixed = nullptr;
  char* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
      !VerQueryValueA(block.data(), "\\StringFileInfo\\080404b0\\ProductVersion", reinterpret_cast<void**>(&text),
                      &length))
    return {};
  return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS)) + " / " +
         text;
}

// The program folder of a release, unpacked by ./dev dist into a folder whose
// path holds Chinese text, named by KL_UNPACKED_FOLDER.
TEST(UnpackedRelease, HoldsTheProgramAndStartsFromItsFolder) {
  const char* unpacked = std::getenv("KL_UNPACKED_FOLDER");
  ASSERT_NE(unpacked, nullptr) << "./dev dist unpacks a release and names its folder";
  const std::string folder = unpacked;
  EXPECT_TRUE(std::any_of(folder.begin(), folder.end(), [](char c) { return (c & 0x80) != 0; })) << folder;
  const std::vector<std::string> expected = {"KestrunLauncher.exe", "UserData__Templete",
                                             test::Narrow(L"使用说明.txt")};
  EXPECT_EQ(FolderEntries(folder), expected);
  EXPECT_EQ(FolderEntries(folder + "\\UserData__Templete"), FolderEntries(test::BinFolder() + "\\UserData__Templete"));
  EXPECT_EQ(VersionOf(folder + "\\KestrunLauncher.exe"),
            std::to_string(KL_VERSION_MAJOR) + "." + std::to_string(KL_VERSION_MINOR) + "." +
                std::to_string(KL_VERSION_PATCH) + ".0 / " + KL_VERSION_TEXT);
  AddAnAccountThenClose(folder);
}

}  // namespace

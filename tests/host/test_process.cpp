// Starting programs (the fake browser stands in for the real one) and the
// debug privilege.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "host/handles.h"
#include "host/process.h"
#include "host/window.h"
#include "win_test_support.h"

namespace {

// Every fake browser started by the test logs into its own file.
class RunProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    log_ = temp_ / "browser.log";
    ASSERT_TRUE(SetEnvironmentVariableA("KL_FAKE_BROWSER_LOG", log_.c_str()));
  }
  void TearDown() override { SetEnvironmentVariableA("KL_FAKE_BROWSER_LOG", nullptr); }

  static std::string Browser() { return "\"" + test::BinFolder() + "\\fake-browser.exe\""; }
  std::string Log() const { return test::ReadWholeFile(log_); }
  bool WaitForLog(const std::string& expected) {
    return test::WaitUntil([&] { return Log() == expected; });
  }

  test::TempFolder temp_;
  std::string log_;
};

TEST_F(RunProgramTest, TheExactCommandLineReachesTheProgram) {
  const std::string line =
      Browser() + " --user-data-dir=\"C:\\T w\\qnv\\\x95\x5c\" google-chrome --app=\"https://x.y/\"";
  EXPECT_TRUE(RunProgram(line, false));
  EXPECT_TRUE(WaitForLog(line + "\r\n")) << Log();
}

struct ShowCase {
  std::optional<std::int32_t> mode;
  int expected;  // wShowWindow the program sees
};

class RunProgramShowTest : public RunProgramTest, public testing::WithParamInterface<ShowCase> {};

TEST_P(RunProgramShowTest, ShowModesAreClampedAndMapped) {
  const std::string line = Browser() + " --report-show";
  EXPECT_TRUE(RunProgram(line, true, GetParam().mode));
  EXPECT_EQ(Log(), line + "\r\nwShowWindow=" + std::to_string(GetParam().expected) + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, RunProgramShowTest,
                         testing::Values(ShowCase{std::nullopt, SW_SHOWNORMAL}, ShowCase{-7, SW_HIDE},
                                         ShowCase{0, SW_HIDE}, ShowCase{1, SW_HIDE}, ShowCase{2, SW_SHOWNORMAL},
                                         ShowCase{3, SW_SHOWMINIMIZED}, ShowCase{4, SW_SHOWMAXIMIZED},
                                         ShowCase{5, SW_SHOWNOACTIVATE}, ShowCase{6, SW_MINIMIZE},
                                         ShowCase{7, SW_MINIMIZE}, ShowCase{1000, SW_MINIMIZE}));

TEST_F(RunProgramTest, NothingToStartGivesFalse) {
  EXPECT_FALSE(RunProgram("", false));
  EXPECT_FALSE(RunProgram("", true));
  EXPECT_FALSE(RunProgram("\"" + temp_ / "missing.exe\" --app=x", false));
  EXPECT_FALSE(RunProgram(temp_ / "no such folder\\chrome.exe --user-data-dir=\"x\"", false));
  EXPECT_EQ(Log(), "");
}

// The program's window exists once it is idle and is gone once it has ended,
// so the windows seen right after the call tell which wait was made.
TEST_F(RunProgramTest, WaitsForIdleOrForTheEnd) {
  const std::string title = "kl-run-" + std::to_string(GetCurrentProcessId());

  EXPECT_TRUE(RunProgram(Browser() + " --stay-ms=400 --title=" + title + "-exit", true));
  EXPECT_EQ(FindTopLevelWindow(title + "-exit"), nullptr);
  EXPECT_NE(Log(), "");

  EXPECT_TRUE(RunProgram(Browser() + " --stay-ms=20000 --title=" + title + "-idle", false));
  const HWND window = FindTopLevelWindow(title + "-idle");
  EXPECT_NE(window, nullptr);
  if (window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::WaitUntil([&] { return FindTopLevelWindow(title + "-idle") == nullptr; }));
  }
}

// A process object lives on after its end only while someone holds a handle
// to it: once the program has ended, its id must name no process.
TEST_F(RunProgramTest, LeavesNoHandleOpen) {
  const std::string line = Browser() + " --report-pid";
  ASSERT_TRUE(RunProgram(line, true));
  const std::string log = Log();
  ASSERT_EQ(log.rfind(line + "\r\npid=", 0), 0u) << log;
  const DWORD id = std::stoul(log.substr(line.size() + 6));
  // The system may hold the ended process a moment longer itself.
  EXPECT_TRUE(test::WaitUntil([&] { return !UniqueHandle(OpenProcess(SYNCHRONIZE, FALSE, id)); }))
      << "a handle to the ended program is still open";
}

TEST(EnableDebugPrivilege, EnablesThePrivilegeWhenItSucceedsAndChangesNothingElse) {
  const std::optional<bool> before = test::DebugPrivilegeEnabled();
  const bool result = EnableDebugPrivilege();
  const std::optional<bool> after = test::DebugPrivilegeEnabled();
  // The token keeps the same set of privileges either way.
  EXPECT_EQ(before.has_value(), after.has_value());
  if (result && after.has_value()) {
    EXPECT_TRUE(*after);
  } else if (!result) {
    EXPECT_EQ(before, after);
  }
  // A second call finds the same state.
  EXPECT_EQ(EnableDebugPrivilege(), result);
}

// Sets SeDebugPrivilege's state in this process's token; false when it cannot.
bool SetDebugPrivilege(bool enabled) {
  UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.put())) return false;
  TOKEN_PRIVILEGES privileges{};
  if (!LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &privileges.Privileges[0].Luid)) return false;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = enabled ? SE_PRIVILEGE_ENABLED : 0;
  return AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) && GetLastError() == ERROR_SUCCESS;
}

TEST(DebugPrivilegeScope, EnablesThePrivilegeWhileItLivesAndPutsTheStateBack) {
  if (!test::DebugPrivilegeEnabled().has_value()) GTEST_SKIP() << "this process's token holds no SeDebugPrivilege";
  for (const bool enabledBefore : {false, true}) {
    ASSERT_TRUE(SetDebugPrivilege(enabledBefore));
    ASSERT_EQ(test::DebugPrivilegeEnabled(), enabledBefore);
    {
      const DebugPrivilegeScope scope;
      EXPECT_EQ(test::DebugPrivilegeEnabled(), true) << "enabled before: " << enabledBefore;
    }
    EXPECT_EQ(test::DebugPrivilegeEnabled(), enabledBefore);
  }
  ASSERT_TRUE(SetDebugPrivilege(false));
}

}  // namespace

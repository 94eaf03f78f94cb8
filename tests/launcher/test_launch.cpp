// Opening an account end to end, in this process: each case gives the launch a
// fresh program folder of its own, with the fake browser and a template.
#include "launcher/launch.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "host/window.h"
#include "launcher/account_launches.h"
#include "launcher/command_line.h"
#include "launcher/program_paths.h"
#include "win_test_support.h"

namespace {

// While it lives, the browsers this process starts log their lines to `path`
// (they inherit the variable).
class BrowserLog {
 public:
  explicit BrowserLog(const std::string& path) { SetEnvironmentVariableA(kVariable, path.c_str()); }
  ~BrowserLog() { SetEnvironmentVariableA(kVariable, nullptr); }
  BrowserLog(const BrowserLog&) = delete;
  BrowserLog& operator=(const BrowserLog&) = delete;

 private:
  static constexpr char kVariable[] = "KL_FAKE_BROWSER_LOG";
};

// Launches through the launch threads, as double-clicks make them: a, a again
// while it is under way, then b beside it; once both browsers have ended, a
// once more; after the end, nothing. Each refusal or acceptance that went
// wrong sets a bit of the result (100 when none did, 99 when they did not
// settle).
int RunLaunches(const ProgramPaths& paths, const std::string& browser, const std::string& a, const std::string& b) {
  int wrong = 0;
  AccountLaunches launches(paths);
  if (!launches.Start(browser, a)) wrong |= 1;
  if (launches.Start(browser, a)) wrong |= 2;
  if (!launches.Start(browser, b)) wrong |= 4;
  if (!launches.IsUnderWay(paths.ProfileFolderOf(a))) wrong |= 8;
  const auto settle = [&] {
    const DWORD since = GetTickCount();
    while (launches.IsUnderWay(paths.ProfileFolderOf(a)) || launches.IsUnderWay(paths.ProfileFolderOf(b))) {
      if (GetTickCount() - since > 20000) return false;
      Sleep(20);
    }
    return true;
  };
  if (!settle()) return 99;
  if (!launches.Start(browser, a)) wrong |= 16;
  if (!settle()) return 99;
  launches.EndAll();
  if (launches.Start(browser, b)) wrong |= 32;
  return 100 + wrong;
}

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The line the browser must see for an account launched from `program`.
std::string ExpectedLine(const std::string& browserAsWritten, const std::string& profile) {
  return browserAsWritten + " --user-data-dir=\"" + profile + "\" google-chrome --app=\"" + std::string(ConsoleUrl()) +
         "\"";
}

class LaunchFromProgramFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::CopyFromBin("fake-browser.exe", program_.path()));

    ASSERT_TRUE(CreateDirectoryA(templateFolder().c_str(), nullptr));
    ASSERT_TRUE(test::WriteWholeFile(templateFolder() + "\\First Run", ""));
    ASSERT_TRUE(test::WriteWholeFile(templateFolder() + "\\Local State", "{\"template\":1}"));
  }

  std::string templateFolder() const { return program_ / "UserData__Templete"; }
  std::string root() const { return program_ / "qnv"; }
  std::string profile(const std::string& account) const { return root() + "\\" + account; }
  std::string browser() const { return program_ / "fake-browser.exe"; }
  std::string log() const { return program_ / "browser.log"; }

  // Opens the account once, as a double-click's launch thread does.
  bool Launch(const std::string& browserPath, const std::string& account) {
    // As on a launch thread: COM on this thread for the template copy.
    const BrowserLog logged(log());
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool launched = LaunchAccount(paths_, browserPath, account);
    if (SUCCEEDED(com)) CoUninitialize();
    return launched;
  }

  // The log once it holds `lines` lines (bounded wait: the browser logs after
  // the launcher has ended only if it was slow to start).
  std::string LogWithLines(std::size_t lines) {
    std::string text;
    test::WaitUntil([&] {
      text = test::ReadWholeFile(log());
      std::size_t count = 0;
      for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++count;
      return count >= lines;
    });
    return text;
  }

  test::TempFolder program_;
  const ProgramPaths paths_ = ProgramPathsIn(program_.path());
};

TEST_F(LaunchFromProgramFolder, FirstLaunchMakesTheProfileFromTheTemplateAndStartsTheBrowser) {
  ASSERT_TRUE(CreateDirectoryA((templateFolder() + "\\Default").c_str(), nullptr));
  ASSERT_TRUE(test::WriteWholeFile(templateFolder() + "\\Default\\Preferences", "{}"));
  // A browser in a folder whose name has a space: the line must keep it whole.
  // (Wine quotes such a path itself when it resolves an unquoted line; Windows
  // passes the line on as it was written.)
  const std::string folder = program_ / "\xE4\xAF\xC0\xC0\xC6\xF7 x";  // 浏览器 x
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(test::CopyFromBin("fake-browser.exe", folder));
  const std::string account = "\xB5\xEA\xC6\xCC\xD2\xBB";  // 店铺一

  ASSERT_TRUE(Launch(folder + "\\fake-browser.exe", account));

  EXPECT_TRUE(test::FolderExists(root()));
  EXPECT_TRUE(test::FolderExists(profile(account)));
  EXPECT_TRUE(test::FileExists(profile(account) + "\\First Run"));
  EXPECT_EQ(test::ReadWholeFile(profile(account) + "\\Local State"), "{\"template\":1}");
  EXPECT_EQ(test::ReadWholeFile(profile(account) + "\\Default\\Preferences"), "{}");
  EXPECT_EQ(LogWithLines(1), ExpectedLine(Quoted(folder + "\\fake-browser.exe"), profile(account)) + "\r\n");
}

// Texts of the browser path field that name no existing ".exe" file: the
// system would still find something to run for each (it adds ".exe", and an
// unquoted path with a space runs the first part that names a program).
TEST_F(LaunchFromProgramFolder, BrowserTextThatNamesNoProgramFileIsNeverRun) {
  ASSERT_TRUE(CopyFileA(browser().c_str(), (program_ / "Program.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(browser().c_str(), (program_ / "fake-browser.com").c_str(), FALSE));
  const std::string texts[] = {
      program_ / "fake-browser",                     // found by adding ".exe"
      program_ / "Program Files\\fake-browser.exe",  // runs Program.exe
      program_ / "fake-browser.com",                 // a program, but no .exe
      "\xC2\xB7\xBE\xB6\xB4\xED\xCE\xF3",            // 路径错误
      "\"" + program_ / "fake-browser" + "\"",
      "",
  };
  int n = 0;
  for (const std::string& text : texts) {
    const std::string account = "a" + std::to_string(++n);
    EXPECT_FALSE(BrowserProgramOf(text).has_value()) << text;
    // The profile is still made ready: only the browser is not started.
    ASSERT_TRUE(Launch(text, account)) << text;
    EXPECT_TRUE(test::FileExists(profile(account) + "\\First Run")) << text;
  }
  // A browser that ran would have logged within this time.
  Sleep(1500);
  EXPECT_FALSE(test::FileExists(log())) << test::ReadWholeFile(log());
}

// Texts that name the program: the line holds its path in quotes, once.
TEST_F(LaunchFromProgramFolder, BrowserTextThatNamesTheProgramStartsItQuoted) {
  struct Case {
    std::string typed;
    std::string inLine;
  };
  const Case cases[] = {
      {browser(), Quoted(browser())},
      {Quoted(browser()), Quoted(browser())},
      {"  " + Quoted(browser()) + " ", Quoted(browser())},
      {program_ / "FAKE-BROWSER.EXE", Quoted(program_ / "FAKE-BROWSER.EXE")},
  };
  std::string expected;
  int n = 0;
  for (const Case& c : cases) {
    const std::string account = "b" + std::to_string(++n);
    ASSERT_TRUE(Launch(c.typed, account)) << c.typed;
    expected += ExpectedLine(c.inLine, profile(account)) + "\r\n";
    EXPECT_EQ(LogWithLines(static_cast<std::size_t>(n)), expected) << c.typed;
  }
}

TEST_F(LaunchFromProgramFolder, LaterLaunchRefreshesTemplateFilesAndKeepsTheProfilesOwn) {
  ASSERT_TRUE(Launch(browser(), "123"));
  ASSERT_TRUE(test::WriteWholeFile(profile("123") + "\\Local State", "{\"changed\":1}"));
  ASSERT_TRUE(test::WriteWholeFile(profile("123") + "\\Cookies", "session"));

  ASSERT_TRUE(Launch(browser(), "123"));

  EXPECT_EQ(test::ReadWholeFile(profile("123") + "\\Local State"), "{\"template\":1}");
  EXPECT_EQ(test::ReadWholeFile(profile("123") + "\\Cookies"), "session");
  const std::string line = ExpectedLine(Quoted(browser()), profile("123")) + "\r\n";
  EXPECT_EQ(LogWithLines(2), line + line);
}

TEST_F(LaunchFromProgramFolder, ProfileInUseIsLeftAloneAndTheBrowserStillStarts) {
  ASSERT_TRUE(Launch(browser(), "123"));
  ASSERT_TRUE(test::WriteWholeFile(profile("123") + "\\Local State", "{\"in use\":1}"));
  // A browser that keeps running on the profile, logging elsewhere.
  test::ChildProcess running;
  ASSERT_TRUE(running.Start("\"" + browser() + "\" --marker --stay-ms=60000 --user-data-dir=\"" + profile("123") + "\"",
                            program_.path(), {"KL_FAKE_BROWSER_LOG=" + (program_ / "running.log")}));
  ASSERT_TRUE(test::WaitUntil([&] { return IsProfileInUse(profile("123")); }));

  ASSERT_TRUE(Launch(browser(), "123"));

  EXPECT_EQ(test::ReadWholeFile(profile("123") + "\\Local State"), "{\"in use\":1}");
  const std::string line = ExpectedLine(Quoted(browser()), profile("123")) + "\r\n";
  EXPECT_EQ(LogWithLines(2), line + line);
  running.Kill();
}

TEST_F(LaunchFromProgramFolder, WithoutItsTemplateNothingIsMadeOrStarted) {
  test::RemoveTree(templateFolder());
  EXPECT_FALSE(Launch(browser(), "123"));
  EXPECT_FALSE(test::FolderExists(root()));
  test::PumpMessagesFor(std::chrono::milliseconds(300));
  EXPECT_FALSE(test::FileExists(log()));
}

TEST_F(LaunchFromProgramFolder, AccountWithABackslashMakesNestedFolders) {
  ASSERT_TRUE(Launch(browser(), "a\\b"));
  EXPECT_TRUE(test::FolderExists(root() + "\\a"));
  EXPECT_TRUE(test::FileExists(profile("a\\b") + "\\First Run"));
  EXPECT_FALSE(test::FileExists(root() + "\\a\\First Run"));
  EXPECT_EQ(LogWithLines(1), ExpectedLine(Quoted(browser()), profile("a\\b")) + "\r\n");
}

TEST_F(LaunchFromProgramFolder, AccountTextThatCannotBeAProfileFolderStartsNothing) {
  const char* const refused[] = {"", "..", "..\\x", "C:\\x", "\\x", "a/b", "a:b", "con"};
  for (const char* account : refused) {
    SCOPED_TRACE(account);
    EXPECT_FALSE(Launch(browser(), account));
    EXPECT_FALSE(test::FolderExists(root()));
    EXPECT_FALSE(test::FileExists(log()));
  }
  // Nothing was made beside the program either ("..\x" would land there).
  EXPECT_FALSE(test::FolderExists(program_ / "x"));
}

TEST_F(LaunchFromProgramFolder, AProfileHasOneLaunchAtATimeAndDifferentAccountsOverlap) {
  {
    const BrowserLog logged(log());
    EXPECT_EQ(RunLaunches(paths_, browser(), "a", "b"), 100);
  }
  const std::string lineA = ExpectedLine(Quoted(browser()), profile("a")) + "\r\n";
  const std::string lineB = ExpectedLine(Quoted(browser()), profile("b")) + "\r\n";
  const std::string log = LogWithLines(3);
  // a and b run side by side, so their lines come in either order.
  EXPECT_TRUE(log == lineA + lineB + lineA || log == lineB + lineA + lineA) << log;
  EXPECT_TRUE(test::FileExists(profile("a") + "\\First Run"));
  EXPECT_TRUE(test::FileExists(profile("b") + "\\First Run"));
}

TEST_F(LaunchFromProgramFolder, EndingDuringACopyLetsItFinishAndStartsNoBrowser) {
  // A template big enough that the copy is still running when the end comes.
  const std::string block(16384, 'k');
  for (int i = 0; i < 200; ++i)
    ASSERT_TRUE(test::WriteWholeFile(templateFolder() + "\\file" + std::to_string(i), block));

  {
    const BrowserLog logged(log());
    AccountLaunches launches(paths_);
    ASSERT_TRUE(launches.Start(browser(), "123"));
    launches.EndAll();
  }

  test::PumpMessagesFor(std::chrono::milliseconds(1500));  // a browser started late would have logged by now
  EXPECT_FALSE(test::FileExists(log()));
  // Whatever was copied was copied whole.
  for (int i = 0; i < 200; ++i) {
    const std::string copied = profile("123") + "\\file" + std::to_string(i);
    if (test::FileExists(copied)) {
      EXPECT_EQ(test::ReadWholeFile(copied), block) << copied;
    }
  }
}

TEST_F(LaunchFromProgramFolder, ShortNameFormsAndCodePageCutsStartNothing) {
  for (const char* account : {"138001~1", "a\\PROGRA~1", "\xB5"}) {
    SCOPED_TRACE(account);
    EXPECT_FALSE(Launch(browser(), account));
    EXPECT_FALSE(test::FolderExists(root()));
    EXPECT_FALSE(test::FileExists(log()));
  }
}

TEST_F(LaunchFromProgramFolder, ReadOnlyTemplateFilesAreRefreshedOnTheNextLaunch) {
  ASSERT_TRUE(SetFileAttributesA((templateFolder() + "\\Local State").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(Launch(browser(), "123"));
  EXPECT_FALSE(GetFileAttributesA((profile("123") + "\\Local State").c_str()) & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(test::WriteWholeFile(profile("123") + "\\Local State", "{\"changed\":1}"));
  ASSERT_TRUE(Launch(browser(), "123"));
  EXPECT_EQ(test::ReadWholeFile(profile("123") + "\\Local State"), "{\"template\":1}");
  SetFileAttributesA((templateFolder() + "\\Local State").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The template copy itself, on real folders in this process.
class TemplateCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(CreateDirectoryA(source().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(destination().c_str(), nullptr));
    ASSERT_TRUE(test::WriteWholeFile(source() + "\\a", "template a"));
    ASSERT_TRUE(test::WriteWholeFile(source() + "\\b", "template b"));
    ASSERT_TRUE(CreateDirectoryA((source() + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(test::WriteWholeFile(source() + "\\sub\\c", "template c"));
  }
  void TearDown() override { CoUninitialize(); }

  std::string source() const { return temp_ / "template"; }
  std::string destination() const { return temp_ / "profile"; }

  test::TempFolder temp_;
};

TEST_F(TemplateCopy, ReplacesSameNamedFilesAndKeepsTheOthers) {
  ASSERT_TRUE(test::WriteWholeFile(destination() + "\\a", "profile a"));
  ASSERT_TRUE(test::WriteWholeFile(destination() + "\\own", "profile own"));

  CopyTemplateProfile(source(), destination());

  EXPECT_EQ(test::ReadWholeFile(destination() + "\\a"), "template a");
  EXPECT_EQ(test::ReadWholeFile(destination() + "\\b"), "template b");
  EXPECT_EQ(test::ReadWholeFile(destination() + "\\sub\\c"), "template c");
  EXPECT_EQ(test::ReadWholeFile(destination() + "\\own"), "profile own");
  EXPECT_FALSE(test::FolderExists(destination() + "\\template"));  // contents, not the folder itself
}

TEST_F(TemplateCopy, RefreshMergesIntoExistingSubfolders) {
  if (UnderWine()) {
    // Measured on Wine 8.0: Invoke gives DISP_E_EXCEPTION with the error
    // 0x800A003A; the top-level files are replaced, the subfolder is not entered.
    GTEST_SKIP() << "Wine's Scripting.FileSystemObject CopyFolder fails with 0x800A003A (file already exists) when "
                    "the destination already holds a subfolder of the same name; Windows merges into it";
  }
  CopyTemplateProfile(source(), destination());
  ASSERT_TRUE(test::WriteWholeFile(destination() + "\\sub\\c", "profile c"));
  ASSERT_TRUE(test::WriteWholeFile(destination() + "\\sub\\own", "profile own"));

  CopyTemplateProfile(source(), destination());

  EXPECT_EQ(test::ReadWholeFile(destination() + "\\sub\\c"), "template c");
  EXPECT_EQ(test::ReadWholeFile(destination() + "\\sub\\own"), "profile own");
}

TEST_F(TemplateCopy, InstalledTemplateCopiesWhole) {
  const std::string installed = test::BinFolder() + "\\UserData__Templete";
  ASSERT_TRUE(test::FileExists(installed + "\\Default\\Preferences"))
      << "the build places the template beside the tests";

  CopyTemplateProfile(installed, destination());

  EXPECT_TRUE(test::FileExists(destination() + "\\First Run"));
  EXPECT_EQ(test::ReadWholeFile(destination() + "\\Default\\Preferences"),
            test::ReadWholeFile(installed + "\\Default\\Preferences"));
}

TEST_F(TemplateCopy, MissingTemplateChangesNothing) {
  ASSERT_TRUE(test::WriteWholeFile(destination() + "\\own", "profile own"));
  CopyTemplateProfile(temp_ / "missing", destination());
  EXPECT_EQ(test::ReadWholeFile(destination() + "\\own"), "profile own");
  EXPECT_FALSE(test::FileExists(destination() + "\\a"));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Window look-up, bringing windows forward, and the browser's profile marker.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/window.h"
#include "win_test_support.h"

namespace {

// A window of this process; destroyed with the object.
class OwnWindow {
 public:
  OwnWindow(const char* className, const std::string& title, HWND parent = nullptr, DWORD style = WS_OVERLAPPEDWINDOW) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);  // may exist already
    window_ = CreateWindowExA(0, className, title.c_str(), style, 10, 10, 200, 100, parent, nullptr,
                              windowClass.hInstance, nullptr);
  }
  ~OwnWindow() {
    if (window_) DestroyWindow(window_);
  }
  OwnWindow(const OwnWindow&) = delete;
  OwnWindow& operator=(const OwnWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

std::string Unique(const std::string& stem) { return stem + "-" + std::to_string(GetCurrentProcessId()); }

TEST(FindTopLevelWindow, FindsAWindowByItsWholeTitleOnly) {
  // "\x95\x5c" is a double-byte character whose second byte is a backslash.
  const std::string title = Unique("Kl Find 13800138000 \xd5\xcb\xba\xc5\x95\x5c");
  OwnWindow window("KlTestWindow", title);
  ASSERT_NE(window.get(), nullptr);

  EXPECT_EQ(FindTopLevelWindow(title), window.get());
  // The platform compares titles without regard to case.
  std::string upper = title;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  EXPECT_EQ(FindTopLevelWindow(upper), window.get());

  EXPECT_EQ(FindTopLevelWindow(title.substr(0, title.size() - 2)), nullptr);
  EXPECT_EQ(FindTopLevelWindow(title + " "), nullptr);
  EXPECT_EQ(FindTopLevelWindow(Unique("no window has this title")), nullptr);
}

TEST(FindTopLevelWindow, ChildWindowsAreNotLookedAt) {
  OwnWindow parent("KlTestWindow", Unique("parent"));
  const std::string title = Unique("child");
  OwnWindow child("KlTestWindow", title, parent.get(), WS_CHILD | WS_VISIBLE);
  ASSERT_NE(child.get(), nullptr);
  EXPECT_EQ(FindTopLevelWindow(title), nullptr);
}

TEST(FindTopLevelWindow, FindsAnotherProgramsWindowAndBringsItForward) {
  const std::string title = Unique("Kl Browser Window");
  test::ChildProcess browser;
  ASSERT_TRUE(
      browser.Start("\"" + test::BinFolder() + "\\fake-browser.exe\" --stay-ms=20000 --title=\"" + title + "\""));
  const HWND expected = test::WaitForProcessWindow(browser.id(), title);
  ASSERT_NE(expected, nullptr);

  OwnWindow mine("KlTestWindow", Unique("mine"));
  ShowWindow(mine.get(), SW_SHOW);
  SetForegroundWindow(mine.get());

  const HWND found = FindTopLevelWindow(title);
  EXPECT_EQ(found, expected);
  BringWindowToFront(found);
  EXPECT_TRUE(test::WaitUntil([&] { return GetForegroundWindow() == expected; }, std::chrono::seconds(5)));
}

TEST(BringWindowToFront, NoWindowChangesNothing) {
  OwnWindow mine("KlTestWindow", Unique("front"));
  ShowWindow(mine.get(), SW_SHOW);
  SetForegroundWindow(mine.get());
  const HWND before = GetForegroundWindow();
  BringWindowToFront(nullptr);
  EXPECT_EQ(GetForegroundWindow(), before);
}

// A fake browser that keeps its profile marker while it runs.
class ProfileInUseTest : public testing::Test {
 protected:
  void SetUp() override {
    log_ = temp_ / "browser.log";
    profile_ = temp_ / "qnv\\13800138000";
  }

  // Starts it and waits for its log line: the marker exists by then.
  void StartBrowser(const std::string& arguments, const std::vector<std::string>& environment = {}) {
    std::vector<std::string> extra = environment;
    extra.push_back("KL_FAKE_BROWSER_LOG=" + log_);
    ASSERT_TRUE(browser_.Start("\"" + test::BinFolder() + "\\fake-browser.exe\" " + arguments, {}, extra));
    ASSERT_TRUE(test::WaitUntil([&] { return !test::ReadWholeFile(log_).empty(); }));
  }

  test::TempFolder temp_;
  std::string log_;
  std::string profile_;
  test::ChildProcess browser_;
};

TEST_F(ProfileInUseTest, TrueWhileTheBrowserRunsOnThatFolderOnly) {
  EXPECT_FALSE(IsProfileInUse(profile_));
  ASSERT_NO_FATAL_FAILURE(StartBrowser("--stay-ms=30000 --marker --user-data-dir=\"" + profile_ + "\" google-chrome"));

  EXPECT_TRUE(IsProfileInUse(profile_));
  EXPECT_TRUE(IsProfileInUse(profile_ + "\\"));
  EXPECT_FALSE(IsProfileInUse(profile_ + "0"));
  EXPECT_FALSE(IsProfileInUse(temp_ / "qnv"));
  EXPECT_FALSE(IsProfileInUse(""));

  // The browser ends on WM_CLOSE to its marker window.
  const HWND marker = FindWindowExA(HWND_MESSAGE, nullptr, "Chrome_MessageWindow", profile_.c_str());
  ASSERT_NE(marker, nullptr);
  PostMessageA(marker, WM_CLOSE, 0, 0);
  DWORD exitCode = 1;
  EXPECT_TRUE(browser_.WaitForExit(exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_FALSE(IsProfileInUse(profile_));
}

TEST_F(ProfileInUseTest, MarkerAskedForThroughTheEnvironmentAndAnUnquotedPath) {
  ASSERT_NO_FATAL_FAILURE(
      StartBrowser("--stay-ms=30000 --user-data-dir=" + profile_ + " google-chrome", {"KL_FAKE_BROWSER_MARKER=1"}));
  EXPECT_TRUE(IsProfileInUse(profile_));
  browser_.Kill();
  EXPECT_FALSE(IsProfileInUse(profile_));
}

TEST_F(ProfileInUseTest, OnlyTheMarkerClassCounts) {
  // A browser without the marker, whose top-level window bears the path as its title.
  ASSERT_NO_FATAL_FAILURE(StartBrowser("--stay-ms=30000 --title=\"" + profile_ + "\""));
  ASSERT_NE(FindTopLevelWindow(profile_), nullptr);
  EXPECT_FALSE(IsProfileInUse(profile_));

  // A top-level marker window counts as well as a message-only one.
  OwnWindow marker("Chrome_MessageWindow", profile_);
  ASSERT_NE(marker.get(), nullptr);
  EXPECT_TRUE(IsProfileInUse(profile_));
}

}  // namespace

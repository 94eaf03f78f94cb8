// Window look-up, bringing windows forward, and the browser's profile marker.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

namespace {

// ---- the marker's process and its front window ------------------------------

TEST(ProfileMarker, FoundWithoutRegardToCaseAndListedOncePerWindow) {
  const std::string folder = Unique("C:\\Kl\\qnv\\Shop-\xB5\xEA");
  OwnWindow marker("Chrome_MessageWindow", folder, HWND_MESSAGE, 0);
  OwnWindow second("Chrome_MessageWindow", folder + "-2", HWND_MESSAGE, 0);
  OwnWindow other("KlTestWindow", folder + "-3", HWND_MESSAGE, 0);
  ASSERT_NE(marker.get(), nullptr);
  std::string lower = folder;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  EXPECT_EQ(FindProfileMarker(folder), marker.get());
  EXPECT_EQ(FindProfileMarker(lower), marker.get());
  EXPECT_EQ(FindProfileMarker(folder + "-3"), nullptr) << "another class";
  EXPECT_EQ(FindProfileMarker(""), nullptr);

  std::vector<std::string> listed;
  for (const std::string& title : ListProfileMarkers())
    if (title.rfind(folder, 0) == 0) listed.push_back(title);
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{folder, folder + "-2"}));
}

TEST(FrontWindowOfSameProcess, TakesTheHighestVisibleUnownedTopLevelWindow) {
  OwnWindow marker("Chrome_MessageWindow", Unique("C:\\Kl\\qnv\\front"), HWND_MESSAGE, 0);
  OwnWindow lower("KlTestWindow", Unique("lower"));
  OwnWindow upper("KlTestWindow", Unique("upper"));
  OwnWindow hidden("KlTestWindow", Unique("hidden"));
  ShowWindow(lower.get(), SW_SHOWNOACTIVATE);
  ShowWindow(upper.get(), SW_SHOWNOACTIVATE);
  OwnWindow owned("KlTestWindow", Unique("owned"), upper.get(), WS_POPUP | WS_VISIBLE);
  SetWindowPos(upper.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(owned.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(hidden.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  EXPECT_EQ(FrontWindowOfSameProcess(marker.get()), upper.get());

  SetWindowPos(lower.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(FrontWindowOfSameProcess(marker.get()), lower.get());
  EXPECT_EQ(FrontWindowOfSameProcess(nullptr), nullptr);
}

// The fake browser as the real one behaves: a marker named with the profile's
// full path however it was given, a window titled with the page, and a start
// on a profile already served handed over.
TEST_F(ProfileInUseTest, MarkerOfTheFakeBrowserLeadsToItsWindowWhichIsRestoredAndBroughtForward) {
  const std::string page = Unique("Kl Console Page");
  std::string given = profile_;
  for (char& c : given)
    if (c == '\\') c = '/';
  ASSERT_NO_FATAL_FAILURE(StartBrowser("--stay-ms=30000 --marker --title=\"" + page + "\" --user-data-dir=\"" + given +
                                       "/\" google-chrome"));
  const HWND marker = FindProfileMarker(profile_);
  ASSERT_NE(marker, nullptr);
  const HWND window = test::WaitForProcessWindow(browser_.id(), page);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(FrontWindowOfSameProcess(marker), window);

  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(test::WaitUntil([&] { return IsIconic(window) != FALSE; }));
  OwnWindow mine("KlTestWindow", Unique("mine"));
  ShowWindow(mine.get(), SW_SHOW);
  SetForegroundWindow(mine.get());
  RestoreAndBringToFront(FrontWindowOfSameProcess(marker));
  EXPECT_TRUE(
      test::WaitUntil([&] { return GetForegroundWindow() == window && !IsIconic(window); }, std::chrono::seconds(5)));

  // A second start on the same profile only logs its line and ends.
  test::ChildProcess second;
  ASSERT_TRUE(second.Start(
      "\"" + test::BinFolder() + "\\fake-browser.exe\" --stay-ms=30000 --marker --user-data-dir=\"" + profile_ + "\"",
      {}, {"KL_FAKE_BROWSER_LOG=" + log_}));
  DWORD exitCode = 1;
  EXPECT_TRUE(second.WaitForExit(exitCode));
  std::size_t markers = 0;
  for (const std::string& title : ListProfileMarkers()) markers += title == profile_;
  EXPECT_EQ(markers, 1u);
}

}  // namespace

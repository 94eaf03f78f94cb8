// The in-process subclass chain on a window of a class of the test's own,
// whose procedure logs what reaches it.
#include "ui/local_subclass.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

constexpr UINT kOuter = WM_APP + 1;
constexpr UINT kInner = WM_APP + 2;
constexpr UINT kAnswered = WM_APP + 3;

std::string walk;  // who saw which message, in order: "A1 W1 ..."

void Log(char who, UINT message) {
  walk += who;
  walk += std::to_string(message - WM_APP);
  walk += ' ';
}

LRESULT CALLBACK Own(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) {
    Log('W', message);
    return 100;
  }
  if (message == WM_NCDESTROY) walk += "W-end ";
  return DefWindowProcW(window, message, wParam, lParam);
}

// Data is the letter it logs with. Procedure B sends kInner from within
// kOuter and answers kAnswered itself.
LRESULT CALLBACK Linked(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  const char who = static_cast<char>(data);
  if (message == WM_NCDESTROY) walk += std::string(1, who) + "-end ";
  if (message < WM_APP) return DefLocalSubclassProc(window, message, wParam, lParam);
  Log(who, message);
  if (who == 'B' && message == kOuter) SendMessageW(window, kInner, 0, 0);
  if (who == 'B' && message == kAnswered) return 7;
  return DefLocalSubclassProc(window, message, wParam, lParam) + 1;
}

class LocalSubclassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const ATOM registered = [] {
      WNDCLASSW windowClass = {};
      windowClass.lpfnWndProc = Own;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = L"KlLocalSubclassTest";
      return RegisterClassW(&windowClass);
    }();
    ASSERT_NE(registered, 0);
    window_ = CreateWindowExW(0, L"KlLocalSubclassTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(SetLocalSubclass(window_, Linked, 1, 'A'));
    ASSERT_TRUE(SetLocalSubclass(window_, Linked, 2, 'B'));
    walk.clear();
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }
  HWND window_ = nullptr;
};

TEST_F(LocalSubclassTest, TheLastSetSeesAMessageFirstAndEachAddsToTheAnswer) {
  EXPECT_EQ(SendMessageW(window_, kInner, 0, 0), 102);
  EXPECT_EQ(walk, "B2 A2 W2 ");
}

TEST_F(LocalSubclassTest, AMessageSentFromWithinAProcedureWalksTheWholeChainOfItsOwn) {
  EXPECT_EQ(SendMessageW(window_, kOuter, 0, 0), 102);
  EXPECT_EQ(walk, "B1 B2 A2 W2 A1 W1 ");
}

TEST_F(LocalSubclassTest, AProcedureThatAnswersItselfEndsTheWalk) {
  EXPECT_EQ(SendMessageW(window_, kAnswered, 0, 0), 7);
  EXPECT_EQ(walk, "B3 ");
  // The next message walks from the top again.
  walk.clear();
  EXPECT_EQ(SendMessageW(window_, kInner, 0, 0), 102);
  EXPECT_EQ(walk, "B2 A2 W2 ");
}

TEST_F(LocalSubclassTest, SettingAProcedureAgainGivesItNewDataInItsPlace) {
  ASSERT_TRUE(SetLocalSubclass(window_, Linked, 1, 'C'));
  DWORD_PTR data = 0;
  ASSERT_TRUE(FindLocalSubclass(window_, Linked, 1, data));
  EXPECT_EQ(data, static_cast<DWORD_PTR>('C'));
  EXPECT_FALSE(FindLocalSubclass(window_, Linked, 3, data));
  EXPECT_EQ(SendMessageW(window_, kInner, 0, 0), 102);
  EXPECT_EQ(walk, "B2 C2 W2 ");
}

TEST_F(LocalSubclassTest, TheChainSeesTheWindowsLastMessageAndEndsWithIt) {
  HWND window = window_;
  window_ = nullptr;
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_NE(walk.find("B-end A-end W-end "), std::string::npos) << walk;
  DWORD_PTR data = 0;
  EXPECT_FALSE(FindLocalSubclass(window, Linked, 1, data));
}

TEST_F(LocalSubclassTest, RefusesAWindowOfAnotherThreadOrProcessOrNone) {
  EXPECT_FALSE(SetLocalSubclass(nullptr, Linked, 3, 'C'));
  HWND desktop = GetDesktopWindow();
  DWORD owner = 0;
  GetWindowThreadProcessId(desktop, &owner);
  ASSERT_NE(owner, GetCurrentProcessId());
  EXPECT_FALSE(SetLocalSubclass(desktop, Linked, 3, 'C'));
  bool fromAnotherThread = true;
  std::thread other([&] { fromAnotherThread = SetLocalSubclass(window_, Linked, 3, 'C'); });
  other.join();
  EXPECT_FALSE(fromAnotherThread);
  EXPECT_EQ(SendMessageW(window_, kInner, 0, 0), 102);
  EXPECT_EQ(walk, "B2 A2 W2 ");
}

}  // namespace

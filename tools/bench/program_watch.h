#pragma once
// Programs watched from outside, as a person would see them: when a window
// of theirs is shown and answers, how many rows its list shows, and how long
// the window keeps a message waiting.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

double MillisecondsSince(std::chrono::steady_clock::time_point start);

// The first visible top-level window of the process; 0 when none.
HWND VisibleWindowOf(DWORD processId);
// The first window of the class below `parent`; 0 when none.
HWND DescendantOfClass(HWND parent, const char* className);
// The first button below `parent` with this caption (GBK); 0 when none.
HWND ButtonWithCaption(HWND parent, const std::string& caption);

// True when the window answers a message within `timeout`.
bool Answers(HWND window, UINT timeoutMs = 60000);

// True when the window's list shows exactly `rows` rows and, when there are
// any, the last one's column-1 text is `lastText`.
bool ShowsRows(HWND window, int rows, const std::string& lastText);

// Starts the program (a command line, run in `folder`) and measures the time
// until a window of it is visible and `shown` holds for it, polling every
// millisecond; then closes the program and waits for it to end. -1 when it
// did not get there within `timeout`.
double TimeStartUp(const std::string& commandLine, const std::string& folder, const std::function<bool(HWND)>& shown,
                   std::chrono::milliseconds timeout);

// Sends the window an empty message again and again from a thread of its own
// while it lives; Stop gives the longest time one of them waited for an answer.
class AnswerWatch {
 public:
  explicit AnswerWatch(HWND window);
  ~AnswerWatch();
  AnswerWatch(const AnswerWatch&) = delete;
  AnswerWatch& operator=(const AnswerWatch&) = delete;
  double Stop();

 private:
  std::atomic<bool> stop_{false};
  double longestMs_ = 0;
  std::thread thread_;
};

#include "program_watch.h"

#include <commctrl.h>

#include "listview/list_view_access.h"
#include "win_test_support.h"

namespace {

struct WindowSearch {
  DWORD processId = 0;
  HWND found = nullptr;
};

BOOL CALLBACK MatchVisible(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

struct ChildSearch {
  std::function<bool(HWND)> matches;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ChildSearch*>(context);
  if (!search->matches(window)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindDescendant(HWND parent, std::function<bool(HWND)> matches) {
  ChildSearch search{std::move(matches)};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsOfClass(HWND window, const char* className) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, className) == 0;
}

}  // namespace

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

HWND VisibleWindowOf(DWORD processId) {
  WindowSearch search{processId};
  EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND DescendantOfClass(HWND parent, const char* className) {
  return FindDescendant(parent, [&](HWND window) { return IsOfClass(window, className); });
}

HWND ButtonWithCaption(HWND parent, const std::string& caption) {
  const std::wstring wanted = test::Widen(caption);
  return FindDescendant(parent, [&](HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return IsOfClass(window, "Button") && wanted == text;
  });
}

bool Answers(HWND window, UINT timeoutMs) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool ShowsRows(HWND window, int rows, const std::string& lastText) {
  HWND list = DescendantOfClass(window, "SysListView32");
  DWORD_PTR count = 0;
  if (list == nullptr || !SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 60000, &count) ||
      static_cast<int>(count) != rows)
    return false;
  if (rows == 0) return true;
  // A count set ahead of the rows is not rows shown: the last one must be in.
  ListViewAccess access;
  return access.Bind(list, true) && access.GetItemText(rows - 1, 1, 1024) == lastText;
}

double TimeStartUp(const std::string& commandLine, const std::string& folder, const std::function<bool(HWND)>& shown,
                   std::chrono::milliseconds timeout) {
  test::ChildProcess program;
  const auto start = std::chrono::steady_clock::now();
  if (!program.Start(commandLine, folder)) return -1;
  double elapsed = -1;
  HWND window = nullptr;
  while (MillisecondsSince(start) < timeout.count()) {
    window = VisibleWindowOf(program.id());
    if (window && shown(window)) {
      elapsed = MillisecondsSince(start);
      break;
    }
    if (!program.running()) break;
    Sleep(1);
  }
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD exitCode = 0;
  if (!program.WaitForExit(exitCode, std::chrono::seconds(60))) program.Kill();
  return elapsed;
}

AnswerWatch::AnswerWatch(HWND window)
    : thread_([this, window] {
        while (!stop_) {
          const auto sent = std::chrono::steady_clock::now();
          if (!Answers(window)) break;
          const double waited = MillisecondsSince(sent);
          if (waited > longestMs_) longestMs_ = waited;
          Sleep(2);
        }
      }) {}

AnswerWatch::~AnswerWatch() { Stop(); }

double AnswerWatch::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return longestMs_;
}

#pragma once
// The real KestrunLauncher.exe, run from a temporary program folder and driven
// from outside as a person would: real clicks and keys, texts put into its
// edit boxes, its rows read back across the process boundary.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "stored_list.h"
#include "win_test_support.h"

namespace launcher_test {

// A temporary program folder: the program, the fake browser and a template
// profile holding one file. The program folder may be a subfolder (of that
// name) of the temporary one, and the program may go by another name.
class ProgramFolder {
 public:
  explicit ProgramFolder(const std::string& subfolder = {}, const std::string& programName = "KestrunLauncher.exe");
  bool ready() const { return ready_; }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }
  std::string ProgramPath() const { return *this / programName_; }
  std::string ConfigPath() const { return *this / "config.ini"; }
  std::string BrowserPath() const { return *this / "fake-browser.exe"; }
  std::string LogPath() const { return *this / "browser.log"; }
  // The names directly in the folder, sorted.
  std::vector<std::string> Entries() const;

 private:
  // Not in the temporary folder, from where the program would warn at start.
  test::TempFolder folder_{test::LastingFolderRoot()};
  std::string path_;
  std::string programName_;
  bool ready_ = false;
};

// The names in a folder (files and folders), sorted; none when it is missing.
std::vector<std::string> NamesIn(const std::string& folder);

// The names of a program folder listed before the program started, as they
// stand while it runs: with the lock file it holds there.
std::vector<std::string> WhileRunning(std::vector<std::string> entries);

// HKEY_CLASSES_ROOT\ChromeHTML\Application, value "ApplicationIcon", set or
// removed for one test; the previous state is put back afterwards.
class BrowserIconValue {
 public:
  BrowserIconValue();
  ~BrowserIconValue();
  BrowserIconValue(const BrowserIconValue&) = delete;
  BrowserIconValue& operator=(const BrowserIconValue&) = delete;
  bool Set(const std::string& value);
  void Remove();

 private:
  bool hadRoot_ = false;  // ChromeHTML
  bool hadKey_ = false;   // ChromeHTML\Application
  bool hadValue_ = false;
  DWORD type_ = 0;
  std::string previous_;
};

// What changes whenever the file is replaced: its identity, size and time.
struct FileStamp {
  bool exists = false;
  DWORD indexHigh = 0, indexLow = 0, sizeLow = 0;
  FILETIME written = {};
  bool operator==(const FileStamp& other) const;
};
FileStamp StampOf(const std::string& path);

// Waits for a visible top-level window of the class (a message box is
// "#32770", a popup menu "#32768") of the process; 0 when none appears in time.
HWND WaitForShownWindowOfClass(DWORD processId, const char* windowClass, std::chrono::milliseconds timeout);

// Waits for a message box of the process, returns its text and closes it;
// empty when none appears in time.
std::string TakeNotice(DWORD processId, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// How a message box is answered: by one of its buttons, or by the Enter key
// (its default button).
enum class Answer { kOk, kYes, kNo, kEnter };
struct MessageBoxSeen {
  bool shown = false;
  std::string text, caption;
  bool yesNo = false;  // it has a Yes and a No button, and no OK button
  bool operator==(const MessageBoxSeen&) const = default;
};
inline void PrintTo(const MessageBoxSeen& seen, std::ostream* out) {
  *out << (seen.shown ? "a box \"" + seen.caption + "\": \"" + seen.text + "\"" + (seen.yesNo ? " (yes, no)" : "")
                      : std::string("no box"));
}
// Waits for a message box of the process, reads it and answers it.
MessageBoxSeen AnswerMessageBox(DWORD processId, Answer answer,
                                std::chrono::milliseconds timeout = std::chrono::seconds(10));

class RunningLauncher {
 public:
  // Starts the program in `folder` from another current folder, its browser
  // logging to the folder's log; false when its window or controls did not
  // appear within `timeout`.
  // `browserEnvironment` goes to the program and so to the browsers it starts.
  bool Start(const ProgramFolder& folder, const std::vector<std::string>& browserEnvironment = {},
             std::chrono::milliseconds timeout = std::chrono::seconds(30));
  ~RunningLauncher();

  HWND window() const { return window_; }
  HWND list() const { return list_; }
  HWND renumberButton() const { return renumber_; }
  DWORD processId() const { return child_.id(); }

  // The rows on screen, read from this process.
  Rows ScreenRows();
  // Everything a row shows or keeps: texts, row value, selection and focus
  // marks; and the list's selection mark.
  struct RowState {
    std::string text0, text1;
    std::int32_t value = 0;
    UINT marks = 0;  // LVIS_SELECTED | LVIS_FOCUSED
    bool operator==(const RowState&) const = default;
  };
  std::vector<RowState> RowStates();
  int SelectionMark();
  // Waits for a message box of the program, returns its text and closes it;
  // empty when none appears in time.
  std::string TakeNotice(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return launcher_test::TakeNotice(child_.id(), timeout);
  }
  MessageBoxSeen AnswerMessageBox(Answer answer, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return launcher_test::AnswerMessageBox(child_.id(), answer, timeout);
  }
  // The first selected row, -1 for none.
  int SelectedRow();
  std::string AccountText();
  std::string BrowserPathText();
  void SetAccountText(const std::string& text);
  void SetBrowserPathText(const std::string& text);
  // A point on the row's account cell, on the screen.
  POINT RowPoint(int row);

  void ClickAdd() { ClickControl(add_); }
  void ClickModify() { ClickControl(modify_); }
  void ClickDelete() { ClickControl(delete_); }
  void ClickRenumber() { ClickControl(renumber_); }
  void ClickClearProfiles() { ClickControl(clear_); }
  void ClickAccountBox() { ClickControl(account_); }
  void ClickRow(int row);
  void DoubleClickRow(int row);
  // The row's rectangle on the screen.
  RECT RowRect(int row);
  // Presses on one row, moves over to another with the button held, releases.
  void DragRow(int from, int to);

  // Waits until both the list on screen and the stored file hold `expected`.
  bool WaitForRows(const Rows& expected, const std::string& configPath,
                   std::chrono::milliseconds timeout = std::chrono::seconds(30));
  bool WaitForExit(DWORD& exitCode) { return child_.WaitForExit(exitCode, std::chrono::seconds(10)); }
  // Ends the program at once (TerminateProcess), wherever it is.
  void Kill() { child_.Kill(); }

 private:
  void ClickControl(HWND control);
  // Separate clicks lie more than the double-click time apart.
  void SpaceClicks();
  // Deselects every row through the list's own messages.
  void ClearSelection();

  test::TempFolder elsewhere_;  // the current folder the program is started in
  test::ChildProcess child_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  HWND account_ = nullptr;
  HWND browser_ = nullptr;
  HWND add_ = nullptr, modify_ = nullptr, delete_ = nullptr, renumber_ = nullptr, clear_ = nullptr;
  std::chrono::steady_clock::time_point lastClick_{};
};

// A browser started from outside on an account's profile: its marker, and a
// window titled with its page, never with the account.
class MarkedBrowser {
 public:
  bool Start(const ProgramFolder& folder, const std::string& account, const std::string& page);
  HWND window() const { return window_; }
  void End() { process_.Kill(); }

 private:
  test::ChildProcess process_;
  std::string profile_;
  HWND window_ = nullptr;
};

// The program's caption and the browser path field's fallback, in GBK.
inline const std::string kCaption = "\xBD\xF6\xD6\xA7\xB3\xD6Kestrun";     // 仅支持Kestrun
inline const std::string kPathError = "\xC2\xB7\xBE\xB6\xB4\xED\xCE\xF3";  // 路径错误

}  // namespace launcher_test

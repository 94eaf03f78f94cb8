#pragma once
// A real report list-view control for the tests: created in this process, or
// hosted by a second copy of the test program started with --host-list.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "report_list.h"
#include "win_test_support.h"

namespace lvtest {

// The known content, set by raw messages:
//   columns  "Name" 100 left | "City" 80 centre | "Code" 60 right, image 1 on the right
//   row 0    "alpha"     image 0  param 100  indent 1  checked    "x1" "y1" (cell images 10, 11)
//   row 1    "beta"      image 1  param -5   indent 0  unchecked  "x2" ""
//   row 2    "alphabet"  image 2  param 7    indent 0  no check   "x3" "y3"
//   row 3    "中文" (GBK) image 3 param 0    indent 2  checked    ""   "z4"
// Rows 1 and 3 are selected.
void FillKnownList(HWND list);
inline const std::string kChinese = "\xD6\xD0\xCE\xC4";

// A hidden top-level window holding a report list view with sub-item images. The
// state images are set without the checkbox style, which would force every
// inserted item to state image 1.
class ListWindow {
 public:
  explicit ListWindow(const char* title = "kl list test");
  HWND top() const { return window_.top(); }
  HWND list() const { return window_.list(); }

 private:
  test::ReportListWindow window_;
};

// Raw reads of the control, independent of the class under test.
LVITEMA RawItem(HWND list, int row, int column, UINT mask);
LVCOLUMNA RawColumn(HWND list, int column, UINT mask, bool* ok = nullptr);
std::string RawColumnText(HWND list, int column);
int RawStateImage(HWND list, int row);  // 0 none, 1 unchecked, 2 checked

// Counts the messages the control receives (this process only), and can
// answer LVM_GETITEMSPACING with a packed value of its own.
class MessageCounter {
 public:
  explicit MessageCounter(HWND list);
  ~MessageCounter();
  MessageCounter(const MessageCounter&) = delete;
  MessageCounter& operator=(const MessageCounter&) = delete;
  int Count(UINT message) const;
  // Messages in the list-view range (LVM_FIRST ..) seen so far.
  int ListMessages() const;
  void Reset();
  void AnswerItemSpacing(LRESULT packed) {
    spacing_ = packed;
    answerSpacing_ = true;
  }
  WPARAM LastSpacingWParam() const { return spacingWParam_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  HWND list_;
  std::vector<UINT> seen_;
  bool answerSpacing_ = false;
  LRESULT spacing_ = 0;
  WPARAM spacingWParam_ = 0;
};

// A list view hosted by a second copy of this program. The child quits on
// WM_CLOSE or after a minute, whichever comes first; it is killed when this
// object goes away.
class HostedList {
 public:
  // False when the child or its list did not appear in time.
  bool Start();
  ~HostedList();
  HWND top() const { return top_; }
  HWND list() const { return list_; }
  HANDLE process() const { return child_.handle(); }

 private:
  test::ChildProcess child_;
  HWND top_ = nullptr;
  HWND list_ = nullptr;
};

// Regions of the other process that are committed at the given addresses.
bool IsCommitted(HANDLE process, const void* address);

}  // namespace lvtest

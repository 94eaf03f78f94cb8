// The list handlers driven directly, without the main window: a report list
// and two edit boxes in a test window, the handlers called as the window's
// events would call them, and real button state for the drag.
//
// Every change is stored in config.ini: each test gives the handlers a program
// folder of its own, a fresh temporary one.

#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/list_content.h"

#include "launcher/account_launcher.h"
#include "launcher/program_paths.h"
#include "clipboard_text.h"
#include "input.h"
#include "launcher_window.h"
#include "report_list.h"
#include "stored_list.h"
#include "win_test_support.h"

using namespace std::chrono_literals;
using launcher_test::Row;
using launcher_test::Rows;

namespace {

constexpr std::int32_t kMovePointer = 8;

// A window like the main one, reduced to what the handlers touch.
class HandlerWindow {
 public:
  HandlerWindow() {
    window_.emplace(test::ReportListWindow::Options{
        LVS_SINGLESEL | LVS_SHOWSELALWAYS, test::kAccountColumns, true, {8, 16, 229, 360}, "kl handler test"});
    list_ = window_->list();
    account_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 240, 20, 168, 32, window_->top(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    browser_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 240, 60, 168, 32, window_->top(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  }

  LauncherControls Controls() const { return {ReportList(list_), EditBox(account_), EditBox(browser_)}; }
  HWND list() const { return list_; }

  void SetRows(const Rows& rows) {
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    for (const Row& row : rows) {
      LVITEMA item = {};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
      item.pszText = const_cast<char*>(row.first.c_str());
      const int index = static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
      item.iSubItem = 1;
      item.pszText = const_cast<char*>(row.second.c_str());
      SendMessageA(list_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    }
  }

  Rows ScreenRows() const {
    Rows rows;
    const int count = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < count; ++r) rows.push_back({test::RawCellText(list_, r, 0), test::RawCellText(list_, r, 1)});
    return rows;
  }

  // The middle of a row in the list's client coordinates; -1: below the rows.
  POINT RowPoint(int row) const {
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    const int probe = row < 0 ? 0 : row;
    SendMessageA(list_, LVM_GETITEMRECT, probe, reinterpret_cast<LPARAM>(&bounds));
    const int height = bounds.bottom - bounds.top;
    if (row < 0) return {60, bounds.top + height * (static_cast<LONG>(ScreenRows().size()) + 2)};
    return {60, (bounds.top + bounds.bottom) / 2};
  }

 private:
  std::optional<test::ReportListWindow> window_;
  HWND list_ = nullptr;
  HWND account_ = nullptr;
  HWND browser_ = nullptr;
};

class HandlersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    controls_.accounts.SetMousePointer(0);
    controls_.accountText.SetContent({});
    // The button is pressed where no window of this test lies, so that only
    // the handlers see the drag.
    test::MovePointerTo({GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2});
  }

  std::string ConfigPath() const { return paths_.configFile; }

  // A click on the row, as the list reports it.
  void ClickRow(int row) {
    controls_.accounts.SetSelectedRow(row);
    launcher_.OnListClicked();
  }

  // A drag of row `from` onto row `to` with the button really held.
  void DragRow(int from, int to) {
    launcher_.OnListButtonDown(0, 0, 0);
    controls_.accounts.SetSelectedRow(from);
    test::HeldLeftButton button;
    ASSERT_TRUE(button.Down());
    const POINT at = window_.RowPoint(to);
    launcher_.OnListPointerMoved(at.x, at.y, 0);
    launcher_.OnListButtonUp(0, 0, 0);
  }

  void Modify(int selected, const std::string& text) {
    controls_.accounts.SetSelectedRow(selected);  // as by the keyboard: no click
    controls_.accountText.SetContent(text);
    launcher_.OnModifyClicked();
  }

  // Both the list on screen and the stored file hold exactly these rows.
  void ExpectListAndFile(const Rows& expected) {
    EXPECT_EQ(window_.ScreenRows(), expected);
    ASSERT_TRUE(test::FileExists(ConfigPath()));
    EXPECT_EQ(launcher_test::StoredRows(ConfigPath()), expected);
  }

  // One window for all the tests: top-level windows are slow to come and go
  // here.
  static HandlerWindow& SharedWindow() {
    static HandlerWindow window;
    return window;
  }

  HandlerWindow& window_ = SharedWindow();
  LauncherControls controls_ = window_.Controls();
  test::TempFolder folder_;
  const ProgramPaths paths_ = ProgramPathsIn(folder_.path());
  AccountLauncher launcher_{controls_, paths_};
};

const Rows kFourRows = {{"1", "w"}, {"2", "x"}, {"3", "y"}, {"4", "z"}};

struct DragCase {
  const char* name;
  int source;              // the row selected when the drag starts, -1 none
  std::vector<int> moves;  // rows under the pointer at each movement, -1 none
  Rows expected;
  bool stored;  // whether the drop moves a row and saves
};

class HandlersDrag : public HandlersTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(HandlersDrag, DropsTheDraggedRowWhereItWasReleased) {
  const DragCase& c = GetParam();
  window_.SetRows(kFourRows);
  launcher_.OnListButtonDown(0, 0, 0);
  controls_.accounts.SetSelectedRow(c.source);  // what the list does with the press
  test::HeldLeftButton button;
  ASSERT_TRUE(button.Down());
  for (int row : c.moves) {
    const POINT at = window_.RowPoint(row);
    launcher_.OnListPointerMoved(at.x, at.y, 0);
    EXPECT_EQ(controls_.accounts.SelectedRow(), row) << "the row under the pointer is selected";
  }
  EXPECT_EQ(controls_.accounts.MousePointer(), kMovePointer);
  launcher_.OnListButtonUp(0, 0, 0);
  button.Release();

  if (c.stored) {
    ExpectListAndFile(c.expected);
    EXPECT_EQ(controls_.accounts.SelectedRow(), -1) << "the list is rebuilt after the save";
    EXPECT_EQ(controls_.accounts.MousePointer(), 0);
  } else {
    EXPECT_EQ(window_.ScreenRows(), c.expected);
    EXPECT_FALSE(test::FileExists(ConfigPath())) << "nothing is saved";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Moves, HandlersDrag,
    ::testing::Values(
        DragCase{"DownOntoALaterRow", 0, {2}, {{"2", "x"}, {"3", "y"}, {"1", "w"}, {"4", "z"}}, true},
        DragCase{"UpOntoAnEarlierRow", 3, {1}, {{"1", "w"}, {"4", "z"}, {"2", "x"}, {"3", "y"}}, true},
        DragCase{"LastRowOntoItself", 3, {3}, kFourRows, true}, DragCase{"FirstRowOntoItself", 0, {0}, kFourRows, true},
        DragCase{
            "OverSeveralRowsThenEmptySpace", 0, {1, 2, -1}, {{"2", "x"}, {"3", "y"}, {"1", "w"}, {"4", "z"}}, true},
        DragCase{"StartedOnEmptySpace", -1, {2}, kFourRows, false},
        DragCase{"NeverOverARow", 1, {-1}, kFourRows, false}),
    [](const ::testing::TestParamInfo<DragCase>& info) { return std::string(info.param.name); });

TEST_F(HandlersTest, AButtonReleasedOutsideTheHandlersCancelsTheDrag) {
  window_.SetRows(kFourRows);
  launcher_.OnListButtonDown(0, 0, 0);
  controls_.accounts.SetSelectedRow(0);
  test::HeldLeftButton button;
  ASSERT_TRUE(button.Down());
  POINT at = window_.RowPoint(2);
  launcher_.OnListPointerMoved(at.x, at.y, 0);
  ASSERT_EQ(controls_.accounts.MousePointer(), kMovePointer);

  button.Release();
  at = window_.RowPoint(3);
  launcher_.OnListPointerMoved(at.x, at.y, 0);
  EXPECT_EQ(controls_.accounts.MousePointer(), 0) << "the pointer shape is reset";
  EXPECT_EQ(controls_.accounts.SelectedRow(), 2) << "a cancelling movement selects nothing";
  launcher_.OnListButtonUp(0, 0, 0);
  EXPECT_EQ(window_.ScreenRows(), kFourRows);
  EXPECT_FALSE(test::FileExists(ConfigPath()));
}

TEST_F(HandlersTest, MovementsWithoutAPressDoNothing) {
  window_.SetRows(kFourRows);
  controls_.accounts.SetSelectedRow(1);
  test::HeldLeftButton button;  // held, but the list never saw the press
  const POINT at = window_.RowPoint(3);
  launcher_.OnListPointerMoved(at.x, at.y, 0);
  launcher_.OnListButtonUp(0, 0, 0);
  EXPECT_EQ(controls_.accounts.SelectedRow(), 1);
  EXPECT_EQ(controls_.accounts.MousePointer(), 0);
  EXPECT_EQ(window_.ScreenRows(), kFourRows);
  EXPECT_FALSE(test::FileExists(ConfigPath()));
}

TEST_F(HandlersTest, RenumberCountsTheRowsFromOne) {
  window_.SetRows({{"4", "a"}, {"", "b"}, {"x", "c"}});
  launcher_.OnRenumberClicked();
  ExpectListAndFile({{"1", "a"}, {"2", "b"}, {"3", "c"}});
}

TEST_F(HandlersTest, ModifyChangesTheRowLastClickedNotTheSelectedOne) {
  window_.SetRows({{"1", "a"}, {"2", "b"}, {"3", "c"}});
  controls_.accounts.SetSelectedRow(2);
  launcher_.OnListClicked();
  EXPECT_EQ(controls_.accountText.Content(), "c");
  controls_.accounts.SetSelectedRow(0);  // as by the keyboard: no click
  controls_.accountText.SetContent("new");
  launcher_.OnModifyClicked();
  ExpectListAndFile({{"1", "a"}, {"2", "b"}, {"3", "new"}});

  // The save left no row selected: modify does nothing now.
  DeleteFileA(ConfigPath().c_str());
  controls_.accountText.SetContent("other");
  launcher_.OnModifyClicked();
  EXPECT_EQ(window_.ScreenRows(), (Rows{{"1", "a"}, {"2", "b"}, {"3", "new"}}));
  EXPECT_FALSE(test::FileExists(ConfigPath()));
}

// A click brings forward the window titled with the account; an empty account
// text brings none (it would match the first top-level window of all).
TEST_F(HandlersTest, AClickBringsForwardOnlyTheWindowTitledWithTheAccount) {
  window_.SetRows({{"1", "kl-handler-account"}, {"2", ""}});
  const HWND account = CreateWindowExA(0, test::kReportListTopClass, "kl-handler-account", WS_OVERLAPPEDWINDOW, 40, 40,
                                       200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  // First in the window order, with an empty title.
  const HWND first = CreateWindowExA(WS_EX_TOPMOST, test::kReportListTopClass, "", WS_OVERLAPPEDWINDOW, 60, 60, 200,
                                     100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(account, SW_SHOWNOACTIVATE);
  ShowWindow(first, SW_SHOWNOACTIVATE);
  SetForegroundWindow(GetParent(window_.list()));
  ASSERT_EQ(GetForegroundWindow(), GetParent(window_.list()));

  controls_.accounts.SetSelectedRow(1);
  launcher_.OnListClicked();
  EXPECT_EQ(controls_.accountText.Content(), "");
  EXPECT_EQ(GetForegroundWindow(), GetParent(window_.list()));

  controls_.accounts.SetSelectedRow(0);
  launcher_.OnListClicked();
  EXPECT_EQ(controls_.accountText.Content(), "kl-handler-account");
  EXPECT_EQ(GetForegroundWindow(), account);
  DestroyWindow(first);
  DestroyWindow(account);
  EXPECT_FALSE(test::FileExists(ConfigPath())) << "a click stores nothing";
}

// Texts longer than one read of the list are stored whole, also when the first
// read's end falls inside a double-byte character.
TEST_F(HandlersTest, LongAccountTextsAreStoredWhole) {
  std::string chinese;
  for (int i = 0; i < 150; ++i) chinese += "\xD6\xD0";  // 中
  const std::vector<std::string> texts = {std::string(300, 'a'), chinese, std::string(259, 'b'),
                                          std::string(258, 'c') + "\xD6\xD0"};
  for (const std::string& text : texts) {
    window_.SetRows({{"1", text}});
    launcher_.OnRenumberClicked();
    ExpectListAndFile({{"1", text}});
  }
}

// Undo, step by step back through one change of each kind: after each undo the
// list on screen and the stored bytes are exactly those before the change,
// row values included. With nothing left to undo, nothing happens.
TEST_F(HandlersTest, UndoGoesBackThroughEveryKindOfChange) {
  // Loaded as the program loads the stored list, with row values.
  const std::int32_t values[] = {0, 77, 0, -5};
  Bytes loaded;
  for (std::size_t i = 0; i < kFourRows.size(); ++i)
    for (const Bytes& record :
         {EncodeRowRecord(-1, values[i], kFourRows[i].first), EncodeCellRecord(-1, kFourRows[i].second)})
      loaded.insert(loaded.end(), record.begin(), record.end());
  ASSERT_TRUE(controls_.accounts.SetContent(loaded));
  launcher_.OnRenumberClicked();  // numbered already: stored, but no step
  launcher_.OnUndo();
  ExpectListAndFile(kFourRows);

  struct State {
    Rows rows;
    Bytes stored;
  };
  std::vector<State> states = {{window_.ScreenRows(), launcher_test::StoredPlain(ConfigPath())}};
  const std::vector<std::pair<const char*, std::function<void()>>> changes = {
      {"add",
       [&] {
         controls_.accountText.SetContent("e");
         launcher_.OnAddClicked();
       }},
      {"modify",
       [&] {
         ClickRow(1);
         Modify(1, "X");
       }},
      {"delete",
       [&] {
         controls_.accounts.SetSelectedRow(0);
         launcher_.OnDeleteClicked();
       }},
      {"drag", [&] { DragRow(3, 0); }},
      {"renumber", [&] { launcher_.OnRenumberClicked(); }},
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    change();
    State now{window_.ScreenRows(), launcher_test::StoredPlain(ConfigPath())};
    EXPECT_EQ(launcher_test::RowsOfContent(now.stored), now.rows);
    EXPECT_NE(now.stored, states.back().stored) << "the change was stored";
    states.push_back(std::move(now));
  }
  const Rows expectedLast = {{"1", "e"}, {"2", "X"}, {"3", "y"}, {"4", "z"}};
  EXPECT_EQ(states.back().rows, expectedLast);

  for (std::size_t k = changes.size(); k-- > 0;) {
    SCOPED_TRACE(changes[k].first);
    launcher_.OnUndo();
    EXPECT_EQ(window_.ScreenRows(), states[k].rows);
    EXPECT_EQ(launcher_test::StoredPlain(ConfigPath()), states[k].stored);
  }
  ASSERT_TRUE(DeleteFileA(ConfigPath().c_str()));
  launcher_.OnUndo();
  EXPECT_EQ(window_.ScreenRows(), states.front().rows);
  EXPECT_FALSE(test::FileExists(ConfigPath())) << "nothing to undo stores nothing";
}

// A change that changed nothing leaves no step: undo then goes back past it to
// the change before.
TEST_F(HandlersTest, AChangeOfNothingLeavesNoUndoStep) {
  window_.SetRows(kFourRows);
  controls_.accountText.SetContent("e");
  launcher_.OnAddClicked();
  const Rows added = window_.ScreenRows();
  const std::vector<std::pair<const char*, std::function<void()>>> nothings = {
      {"add with an empty box",
       [&] {
         controls_.accountText.SetContent({});
         launcher_.OnAddClicked();
       }},
      {"drop on itself", [&] { DragRow(2, 2); }},
      {"modify to the same text",
       [&] {
         ClickRow(1);
         Modify(1, "x");
       }},
      {"renumber of numbered rows", [&] { launcher_.OnRenumberClicked(); }},
  };
  for (const auto& [name, nothing] : nothings) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(DeleteFileA(ConfigPath().c_str()));
    nothing();
    ExpectListAndFile(added);  // stored all the same
  }
  launcher_.OnUndo();
  ExpectListAndFile(kFourRows);
}

TEST_F(HandlersTest, UndoKeepsAtLeastFiftySteps) {
  window_.SetRows({});
  for (int i = 0; i < 60; ++i) {
    controls_.accountText.SetContent("a" + std::to_string(i));
    launcher_.OnAddClicked();
  }
  for (int i = 0; i < 50; ++i) launcher_.OnUndo();
  Rows expected;
  for (int i = 0; i < 10; ++i) expected.push_back({std::to_string(i + 1), "a" + std::to_string(i)});
  ExpectListAndFile(expected);
}

// An undo in the middle of a drag ends the drag: the release moves nothing of
// the rows the undo brought back.
TEST_F(HandlersTest, AnUndoDuringADragEndsIt) {
  window_.SetRows(kFourRows);
  controls_.accountText.SetContent("e");
  launcher_.OnAddClicked();
  launcher_.OnListButtonDown(0, 0, 0);
  controls_.accounts.SetSelectedRow(4);
  test::HeldLeftButton button;
  ASSERT_TRUE(button.Down());
  const POINT at = window_.RowPoint(0);
  launcher_.OnListPointerMoved(at.x, at.y, 0);
  ASSERT_EQ(controls_.accounts.MousePointer(), kMovePointer);
  launcher_.OnUndo();
  EXPECT_EQ(controls_.accounts.MousePointer(), 0);
  launcher_.OnListButtonUp(0, 0, 0);
  ExpectListAndFile(kFourRows);
}

// Ctrl+Z in the list undoes and is used up; other keys go on to the list.
TEST_F(HandlersTest, CtrlZUndoes) {
  window_.SetRows(kFourRows);
  controls_.accounts.SetSelectedRow(0);
  launcher_.OnDeleteClicked();
  EXPECT_FALSE(launcher_.OnListKeyPressed('Z', 3)) << "Ctrl+Shift+Z";
  EXPECT_FALSE(launcher_.OnListKeyPressed('Y', 1));
  EXPECT_FALSE(launcher_.OnListKeyPressed('Z', 0));
  EXPECT_EQ(window_.ScreenRows().size(), 3u);
  EXPECT_TRUE(launcher_.OnListKeyPressed('Z', 1));
  ExpectListAndFile(kFourRows);
}

// One change made after the click; `a` and `b` are rows (or the text's
// number for an add).
struct FollowStep {
  enum Kind { kDelete, kDrag, kAdd, kClick, kUndo } kind;
  int a = 0;
  int b = 0;
};

struct FollowCase {
  const char* name;
  int clicked;  // the row last clicked
  std::vector<FollowStep> steps;
  Rows expected;  // after 修改 "new" with row 0 selected
};

class HandlersFollow : public HandlersTest, public ::testing::WithParamInterface<FollowCase> {
 protected:
  void Apply(const FollowStep& step) {
    switch (step.kind) {
      case FollowStep::kDelete:
        controls_.accounts.SetSelectedRow(step.a);
        launcher_.OnDeleteClicked();
        break;
      case FollowStep::kDrag:
        DragRow(step.a, step.b);
        break;
      case FollowStep::kAdd:
        controls_.accountText.SetContent("added" + std::to_string(step.a));
        launcher_.OnAddClicked();
        break;
      case FollowStep::kClick:
        ClickRow(step.a);
        break;
      case FollowStep::kUndo:
        launcher_.OnUndo();
        break;
    }
  }
};

// Modify changes the row last clicked wherever the changes since moved it;
// once that row is gone it changes nothing.
TEST_P(HandlersFollow, ModifyChangesTheRowLastClickedWhereverItWent) {
  const FollowCase& c = GetParam();
  window_.SetRows(kFourRows);
  ClickRow(c.clicked);
  for (const FollowStep& step : c.steps) Apply(step);
  Modify(0, "new");
  ExpectListAndFile(c.expected);
}

using S = FollowStep;
INSTANTIATE_TEST_SUITE_P(
    Changes, HandlersFollow,
    ::testing::Values(
        FollowCase{"NothingChanged", 2, {}, {{"1", "w"}, {"2", "x"}, {"3", "new"}, {"4", "z"}}},
        FollowCase{"DeleteAbove", 2, {{S::kDelete, 0}}, {{"1", "x"}, {"2", "new"}, {"3", "z"}}},
        FollowCase{"DeleteBelow", 1, {{S::kDelete, 3}}, {{"1", "w"}, {"2", "new"}, {"3", "y"}}},
        FollowCase{"DeleteItself", 2, {{S::kDelete, 2}}, {{"1", "w"}, {"2", "x"}, {"3", "z"}}},
        FollowCase{"DraggedItselfDown", 0, {{S::kDrag, 0, 2}}, {{"2", "x"}, {"3", "y"}, {"1", "new"}, {"4", "z"}}},
        FollowCase{"AnotherDraggedAcrossIt", 2, {{S::kDrag, 3, 0}}, {{"4", "z"}, {"1", "w"}, {"2", "x"}, {"3", "new"}}},
        FollowCase{"AnotherDraggedPastIt", 2, {{S::kDrag, 0, 3}}, {{"2", "x"}, {"3", "new"}, {"4", "z"}, {"1", "w"}}},
        FollowCase{
            "DeleteAboveUndone", 2, {{S::kDelete, 0}, {S::kUndo}}, {{"1", "w"}, {"2", "x"}, {"3", "new"}, {"4", "z"}}},
        FollowCase{"DragUndone", 1, {{S::kDrag, 0, 3}, {S::kUndo}}, {{"1", "w"}, {"2", "new"}, {"3", "y"}, {"4", "z"}}},
        FollowCase{"ItselfDeletedThenUndone", 1, {{S::kDelete, 1}, {S::kUndo}}, kFourRows},
        FollowCase{"AddedRowClickedThenUndone", 0, {{S::kAdd, 1}, {S::kClick, 4}, {S::kUndo}}, kFourRows}),
    [](const ::testing::TestParamInfo<FollowCase>& info) { return std::string(info.param.name); });

// A list that refuses every new row, as one out of memory does.
LRESULT CALLBACK RefuseInserts(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == LVM_INSERTITEMA || message == LVM_INSERTITEMW) return -1;
  return DefSubclassProc(list, message, wParam, lParam);
}

// A row that the list refuses ends the add: nothing is stored, no other row is
// overwritten, the text stays in the box and the user is told.
// The message box that this process shows once idle, read and closed from a
// thread of its own while this one pumps the messages that bring it up.
std::string TakeOwnNotice() {
  std::atomic<bool> taken{false};
  std::string notice;
  std::thread reader([&] {
    notice = launcher_test::TakeNotice(GetCurrentProcessId(), 5s);
    taken = true;
  });
  test::WaitUntil([&] { return taken.load(); }, 10s);
  reader.join();
  return notice;
}

TEST_F(HandlersTest, ARefusedRowStoresNothingAndIsTold) {
  window_.SetRows(kFourRows);
  launcher_.OnRenumberClicked();
  const Bytes stored = launcher_test::StoredPlain(ConfigPath());
  ASSERT_TRUE(SetWindowSubclass(window_.list(), RefuseInserts, 1, 0));
  controls_.accountText.SetContent("e");
  launcher_.OnAddClicked();
  RemoveWindowSubclass(window_.list(), RefuseInserts, 1);

  const std::string notice = TakeOwnNotice();
  EXPECT_NE(notice.find(test::Narrow(L"内存不足")), std::string::npos) << notice;
  ExpectListAndFile(kFourRows);
  EXPECT_EQ(launcher_test::StoredPlain(ConfigPath()), stored);
  EXPECT_EQ(controls_.accountText.Content(), "e");

  launcher_.OnUndo();  // the refused add left no step
  ExpectListAndFile(kFourRows);
}

// A list that refuses one new row, the one after as many as the count it is
// given holds, as one short of memory for a moment does.
LRESULT CALLBACK RefuseOneInsert(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR count) {
  auto& before = *reinterpret_cast<int*>(count);
  if ((message == LVM_INSERTITEMA || message == LVM_INSERTITEMW) && before-- == 0) return -1;
  return DefSubclassProc(list, message, wParam, lParam);
}

// A paste that the list refuses part way leaves no row of it: the rows it
// inserted go again, nothing is stored, no undo step is left, and the user
// is told.
TEST_F(HandlersTest, APasteTheListRefusesPartWayLeavesNoRowOfIt) {
  const Rows countingDown = {{"4", "w"}, {"3", "x"}, {"2", "y"}, {"1", "z"}};
  window_.SetRows(countingDown);
  launcher_.OnRenumberClicked();  // a step to undo
  const Bytes stored = launcher_test::StoredPlain(ConfigPath());
  ASSERT_TRUE(test::PutClipboardText(L"p1\r\np2\r\np3\r\n"));
  int before = 2;
  ASSERT_TRUE(SetWindowSubclass(window_.list(), RefuseOneInsert, 1, reinterpret_cast<DWORD_PTR>(&before)));
  EXPECT_TRUE(launcher_.OnListKeyPressed('V', 1));  // Ctrl+V
  RemoveWindowSubclass(window_.list(), RefuseOneInsert, 1);
  EXPECT_LT(before, 0) << "the third row was asked for";

  const std::string notice = TakeOwnNotice();
  EXPECT_NE(notice.find(test::Narrow(L"内存不足")), std::string::npos) << notice;
  ExpectListAndFile(kFourRows);
  EXPECT_EQ(launcher_test::StoredPlain(ConfigPath()), stored);

  launcher_.OnUndo();  // the renumbering is undone, not a paste
  ExpectListAndFile(countingDown);
}

// What typing in the list uses up: text characters (also one the code page
// cannot spell, which finds nothing), not control characters, which the keys
// that make them keep for themselves (Ctrl+C gives 3).
TEST_F(HandlersTest, TypingUsesUpTextCharactersOnly) {
  window_.SetRows({{"1", "a1"}, {"2", "b2"}, {"3", "c3"}});
  struct Case {
    std::vector<std::int32_t> units;  // UTF-16, typed one after another
    bool usedUp;
    int selected;  // afterwards, from row 0 selected
  };
  const Case cases[] = {
      {{0x03}, false, 0},           // Ctrl+C
      {{0x08}, false, 0},           // Backspace
      {{0x1A}, false, 0},           // Ctrl+Z
      {{0x7F}, false, 0},           // Ctrl+Backspace
      {{'3'}, true, 2},             // found
      {{'B'}, true, 1},             // found, whatever the case
      {{0x0E3F}, true, 0},          // Thai: not in the code page, finds nothing
      {{0xD83D, 0xDE00}, true, 0},  // one character in two halves
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units.front());
    Sleep(TypedSearch::kPauseMs + 50);  // each case a search of its own
    controls_.accounts.SetSelectedRow(0);
    for (std::int32_t unit : c.units) EXPECT_EQ(launcher_.OnListCharTyped(unit), c.usedUp);
    EXPECT_EQ(controls_.accounts.SelectedRow(), c.selected);
  }
  EXPECT_FALSE(test::FileExists(ConfigPath())) << "typing stores nothing";
}

}  // namespace

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

#include <optional>
#include <string>
#include <vector>

#include "launcher/account_launcher.h"
#include "launcher/program_paths.h"
#include "input.h"
#include "report_list.h"
#include "stored_list.h"
#include "win_test_support.h"

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

}  // namespace

// The list handlers driven directly, without the main window: a report list
// and two edit boxes in a test window, the handlers called as the window's
// events would call them, and real button state for the drag.
//
// Every change is stored in config.ini beside the program, so these tests run
// in a copy of this test program placed in a temporary folder.

#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "host/files.h"
#include "launcher/account_launcher.h"
#include "input.h"
#include "report_list.h"
#include "stored_list.h"
#include "win_test_support.h"

using launcher_test::Row;
using launcher_test::Rows;

namespace {

constexpr char kCopyVariable[] = "KL_HANDLER_TESTS_IN_COPY";
constexpr std::int32_t kMovePointer = 8;

bool InProgramCopy() {
  char value[8] = {};
  return GetEnvironmentVariableA(kCopyVariable, value, sizeof value) == 1 && value[0] == '1';
}

std::string ConfigPath() { return ProgramFolder() + "\\config.ini"; }

TEST(AccountHandlers, PassInAProgramCopyInATemporaryFolder) {
  if (InProgramCopy()) GTEST_SKIP() << "this is the copy";
  char self[MAX_PATH] = {};
  const std::string path(self, GetModuleFileNameA(nullptr, self, sizeof self));
  const std::string name = path.substr(path.find_last_of('\\') + 1);
  test::TempFolder folder;
  ASSERT_TRUE(test::CopyFromBin(name, folder.path()));
  // The copy's output does not reach this one: its report comes as a file.
  const std::string report = folder / "report.xml";
  test::ChildProcess copy;
  ASSERT_TRUE(copy.Start(
      "\"" + (folder / name) + "\" --gtest_filter=Handlers*.*:*/Handlers*.* --gtest_output=xml:\"" + report + "\"",
      folder.path(), {std::string(kCopyVariable) + "=1"}));
  DWORD exitCode = 99;
  ASSERT_TRUE(copy.WaitForExit(exitCode, std::chrono::seconds(120)));
  const std::string results = test::ReadWholeFile(report);
  EXPECT_EQ(exitCode, 0u) << results;
  EXPECT_NE(results.find("result=\"completed\""), std::string::npos) << results;
  EXPECT_EQ(results.find("result=\"skipped\""), std::string::npos) << results;
  EXPECT_FALSE(test::FileExists(folder / "config.ini")) << "a test left its list behind";
}

// A window like the main one, reduced to what the handlers touch.
class HandlerWindow {
 public:
  explicit HandlerWindow(bool make) {
    if (!make) return;
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
    if (!InProgramCopy()) GTEST_SKIP() << "runs in a program copy";
    DeleteFileA(ConfigPath().c_str());
    controls_.accounts.SetMousePointer(0);
    controls_.accountText.SetContent({});
    // The button is pressed where no window of this test lies, so that only
    // the handlers see the drag.
    test::MovePointerTo({GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2});
  }
  void TearDown() override { DeleteFileA(ConfigPath().c_str()); }

  // Both the list on screen and the stored file hold exactly these rows.
  void ExpectListAndFile(const Rows& expected) {
    EXPECT_EQ(window_.ScreenRows(), expected);
    ASSERT_TRUE(test::FileExists(ConfigPath()));
    EXPECT_EQ(launcher_test::StoredRows(ConfigPath()), expected);
  }

  // One window for all the tests, made only in the copy: top-level windows
  // are slow to come and go here.
  static HandlerWindow& SharedWindow() {
    static HandlerWindow window(InProgramCopy());
    return window;
  }

  HandlerWindow& window_ = SharedWindow();
  LauncherControls controls_ = window_.Controls();
  AccountLauncher launcher_{controls_};
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

// The controls' properties against a real list view and a real edit box.
#include "ui/controls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/list_content.h"
#include "report_list.h"
#include "win_test_support.h"

namespace {

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A two-column report list with single selection.
HWND MakeList(HWND parent) {
  return test::CreateReportList(parent, LVS_SINGLESEL, {{"", 100}, {"", 100}}, {0, 0, 300, 200});
}

// A visible topmost frame, made once (showing and hiding a top-level window
// is slow under Wine), holding a fresh two-column report list and edit box.
class ControlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    frame_ = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"controls", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(frame_); }

  void SetUp() override {
    ASSERT_NE(frame_, nullptr);
    list_ = MakeList(frame_);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 210, 300, 24, frame_, nullptr,
                            nullptr, nullptr);
    ASSERT_NE(list_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(list_);
    DestroyWindow(edit_);
  }

  int RowCount() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
  std::string Cell(int row, int column) const { return test::RawCellText(list_, row, column); }
  LVITEMA Item(int row) const {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = row;
    item.stateMask = ~0u;
    SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item;
  }
  std::vector<std::vector<std::string>> Rows() const { return test::RawCells(list_, 2); }
  void AddRows(int count) {
    std::vector<Bytes> parts;
    for (int r = 0; r < count; ++r) parts.push_back(EncodeRowRecord(-1, 0, std::to_string(r + 1)));
    ReportList(list_).SetContent(Join(parts));
  }

  static HWND frame_;
  HWND list_ = nullptr;
  HWND edit_ = nullptr;
};

HWND ControlsTest::frame_ = nullptr;

// The stored example: one row 1 / abc.
const Bytes kWorkedExample = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,
                              0x00, 0x00, 0x00, 0x31, 0x00, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                              0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x61, 0x62, 0x63, 0x00, 0x00};

struct ContentCase {
  const char* name;
  Bytes content;
  std::vector<std::vector<std::string>> rows;
};

TEST_F(ControlsTest, ContentRebuildsTheRowsItDescribes) {
  ASSERT_EQ(kWorkedExample.size(), 42u);
  const Bytes truncated(kWorkedExample.begin(), kWorkedExample.end() - 1);
  const std::vector<ContentCase> cases = {
      {"worked example", kWorkedExample, {{"1", "abc"}}},
      {"zero bytes", {}, {}},
      {"body cut inside the cell record", truncated, {{"1", ""}}},
      {"cell before any row", EncodeCellRecord(-1, "lost"), {}},
      {"cell before a row", Join({EncodeCellRecord(-1, "lost"), kWorkedExample}), {{"1", "abc"}}},
      {"three rows, second has no cell",
       Join({EncodeRowRecord(-1, 7, "1"), EncodeCellRecord(-1, "a"), EncodeRowRecord(-1, 0, "2"),
             EncodeRowRecord(-1, 0, "3"), EncodeCellRecord(-1, "c")}),
       {{"1", "a"}, {"2", ""}, {"3", "c"}}},
      {"fixed part cut short", Join({kWorkedExample, Bytes(16, 0)}), {{"1", "abc"}}},
  };
  for (const ContentCase& c : cases) {
    SCOPED_TRACE(c.name);
    AddRows(4);  // a previous content is replaced, not extended
    ReportList(list_).SetContent(c.content);
    EXPECT_EQ(Rows(), c.rows);
    EXPECT_EQ(ReportList(list_).Content(), c.content);
  }
}

TEST_F(ControlsTest, ContentKeepsItemDataAndInfoTipAndUsesNoMissingImage) {
  ContentRecord row;
  row.image = 5;  // the list has no image list
  row.itemData = -42;
  row.text = test::Narrow(L"店铺一");
  row.secondText = "tip";
  ReportList(list_).SetContent(Join({EncodeRecord(row), EncodeCellRecord(3, "x")}));
  ASSERT_EQ(RowCount(), 1);
  EXPECT_EQ(Cell(0, 0), row.text);
  const LVITEMA item = Item(0);
  EXPECT_EQ(item.iImage, -1);
  EXPECT_EQ(item.lParam, -42);
  EXPECT_EQ(ReportList(list_).InfoTip(0), "tip");
  EXPECT_EQ(ReportList(list_).InfoTip(1), "");
}

TEST_F(ControlsTest, ContentUsesAnImageTheImageListHolds) {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 2, 0);
  for (int i = 0; i < 2; ++i) {
    HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, nullptr);
    ImageList_Add(images, bitmap, nullptr);
    DeleteObject(bitmap);
  }
  SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
  ReportList(list_).SetContent(Join({EncodeRowRecord(1, 0, "in range"), EncodeRowRecord(2, 0, "past the end")}));
  EXPECT_EQ(Item(0).iImage, 1);
  EXPECT_EQ(Item(1).iImage, -1);
}

TEST_F(ControlsTest, ContentLeavesNoRowSelected) {
  AddRows(3);
  ReportList(list_).SetSelectedRow(1);
  ReportList(list_).SetContent(Join({kWorkedExample, kWorkedExample}));
  EXPECT_EQ(ReportList(list_).SelectedRow(), -1);
}

// Everything a row of the list shows or keeps, and what the list keeps besides.
struct ListSnapshot {
  std::vector<std::vector<std::string>> cells;
  std::vector<LPARAM> values;
  std::vector<int> indents;
  std::vector<UINT> marks;
  std::vector<std::string> tips;
  int selectionMark = 0;
  Bytes content;
  bool operator==(const ListSnapshot&) const = default;
};

ListSnapshot Snapshot(HWND list) {
  ListSnapshot shot;
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) {
    const std::vector<std::string> cells = {test::RawCellText(list, r, 0), test::RawCellText(list, r, 1)};
    LVITEMA item = {};
    item.mask = LVIF_PARAM | LVIF_INDENT | LVIF_STATE;
    item.iItem = r;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    shot.cells.push_back(cells);
    shot.values.push_back(item.lParam);
    shot.indents.push_back(item.iIndent);
    shot.marks.push_back(item.state & (LVIS_SELECTED | LVIS_FOCUSED));
    shot.tips.push_back(ReportList(list).InfoTip(r));
  }
  shot.selectionMark = static_cast<int>(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0));
  shot.content = ReportList(list).Content();
  return shot;
}

// Counts the rows inserted into the list it watches.
LRESULT CALLBACK CountInserts(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR count) {
  if (message == LVM_INSERTITEMA || message == LVM_INSERTITEMW) ++*reinterpret_cast<int*>(count);
  return DefSubclassProc(list, message, wParam, lParam);
}

Bytes Tipped(const std::string& text, const std::string& tip) {
  ContentRecord row;
  row.text = text;
  row.secondText = tip;
  return EncodeRecord(row);
}

struct ShowCase {
  const char* name;
  Bytes shown;   // the content the list holds before
  Bytes stored;  // the content it is asked to show
  bool kept;     // the rows stay as they are
};

// Showing a content leaves the list exactly as filling it afresh would; the
// rows are inserted again only when they are not the content's rows already.
TEST_F(ControlsTest, ShowingAContentLeavesTheListAsAFreshFillWould) {
  const std::string shop = test::Narrow(L"店铺一");
  const Bytes three = Join({EncodeRowRecord(-1, 7, "1"), EncodeCellRecord(-1, shop), EncodeRowRecord(-1, -2, "2"),
                            EncodeCellRecord(-1, "b"), EncodeRowRecord(-1, 0, "3"), EncodeCellRecord(-1, "c")});
  const Bytes threeWithImages =
      Join({EncodeRowRecord(-1, 7, "1"), EncodeCellRecord(0, shop), EncodeRowRecord(-1, -2, "2"),
            EncodeCellRecord(0, "b"), EncodeRowRecord(-1, 0, "3"), EncodeCellRecord(0, "c")});
  const std::vector<ShowCase> cases = {
      {"the same rows", three, three, true},
      {"the same rows, cell images that show nothing", three, threeWithImages, true},
      {"the same rows, other info tips", Join({Tipped("1", "tip"), EncodeCellRecord(-1, "a")}),
       Join({Tipped("1", ""), EncodeCellRecord(-1, "a")}), true},
      {"an empty cell without a record", Join({EncodeRowRecord(-1, 0, "1"), EncodeCellRecord(-1, "")}),
       EncodeRowRecord(-1, 0, "1"), true},
      {"a record beyond the columns", Join({EncodeRowRecord(-1, 0, "1"), EncodeCellRecord(-1, "a")}),
       Join({EncodeRowRecord(-1, 0, "1"), EncodeCellRecord(-1, "a"), EncodeCellRecord(-1, "z")}), true},
      {"nothing and nothing", {}, {}, true},
      {"another text", three, Join({EncodeRowRecord(-1, 7, "1"), EncodeCellRecord(-1, "a")}), false},
      {"another item data", Join({EncodeRowRecord(-1, 7, "1"), EncodeCellRecord(-1, "a")}),
       Join({EncodeRowRecord(-1, 8, "1"), EncodeCellRecord(-1, "a")}), false},
      {"another indent", Join({EncodeRowRecord(-1, 0, "1")}), EncodeRecord(ContentRecord{0, -1, -1, 2, 0, "1", ""}),
       false},
      {"a row more", EncodeRowRecord(-1, 0, "1"), Join({EncodeRowRecord(-1, 0, "1"), EncodeRowRecord(-1, 0, "2")}),
       false},
      {"a row fewer", Join({EncodeRowRecord(-1, 0, "1"), EncodeRowRecord(-1, 0, "2")}), EncodeRowRecord(-1, 0, "1"),
       false},
      {"a cell without a record", Join({EncodeRowRecord(-1, 0, "1"), EncodeCellRecord(-1, "a")}),
       EncodeRowRecord(-1, 0, "1"), false},
      {"a damaged body", three, Bytes(three.begin(), three.end() - 3), false},
  };
  HWND fresh = MakeList(frame_);
  int inserts = 0;
  ASSERT_TRUE(SetWindowSubclass(list_, CountInserts, 1, reinterpret_cast<DWORD_PTR>(&inserts)));
  for (const ShowCase& c : cases) {
    SCOPED_TRACE(c.name);
    ReportList(list_).SetContent(c.shown);
    if (RowCount() > 0) ReportList(list_).SetSelectedRow(RowCount() - 1);
    inserts = 0;
    EXPECT_TRUE(ReportList(list_).ShowContent(c.stored));
    EXPECT_EQ(inserts == 0, c.kept) << inserts << " rows inserted";
    ReportList(fresh).SetContent(c.stored);
    EXPECT_EQ(Snapshot(list_), Snapshot(fresh));
  }
  RemoveWindowSubclass(list_, CountInserts, 1);
  DestroyWindow(fresh);
}

TEST_F(ControlsTest, ShowingTheRowsItHoldsKeepsTheListWhereItIsScrolled) {
  AddRows(100);
  SendMessageA(list_, LVM_ENSUREVISIBLE, 80, FALSE);
  const auto top = SendMessageA(list_, LVM_GETTOPINDEX, 0, 0);
  ASSERT_GT(top, 0);
  ReportList(list_).ShowContent(ReportList(list_).Content());
  EXPECT_EQ(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0), top);
}

TEST_F(ControlsTest, SelectedRowWritesAndReads) {
  AddRows(3);
  ReportList rows(list_);
  EXPECT_EQ(rows.SelectedRow(), -1);
  rows.SetSelectedRow(2);
  EXPECT_EQ(rows.SelectedRow(), 2);
  EXPECT_EQ(Item(2).state & (LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
  rows.SetSelectedRow(0);  // single selection: the old row lets go
  EXPECT_EQ(rows.SelectedRow(), 0);
  EXPECT_EQ(Item(2).state & LVIS_SELECTED, 0u);
  rows.SetSelectedRow(-1);
  EXPECT_EQ(rows.SelectedRow(), -1);
  rows.SetSelectedRow(1);
  rows.SetSelectedRow(-7);  // below -1 counts as -1
  EXPECT_EQ(rows.SelectedRow(), -1);
  rows.SetSelectedRow(9);  // no such row
  EXPECT_EQ(rows.SelectedRow(), -1);
}

TEST_F(ControlsTest, SelectingARowDoesNotScroll) {
  AddRows(100);
  ReportList(list_).SetSelectedRow(90);
  EXPECT_EQ(ReportList(list_).SelectedRow(), 90);
  EXPECT_EQ(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0), 0);
  SendMessageA(list_, LVM_ENSUREVISIBLE, 50, FALSE);
  const auto top = SendMessageA(list_, LVM_GETTOPINDEX, 0, 0);
  ReportList(list_).SetSelectedRow(2);
  EXPECT_EQ(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0), top);
}

TEST_F(ControlsTest, MousePointerIsShownAtOnceOverTheList) {
  ReportList rows(list_);
  EXPECT_EQ(rows.MousePointer(), 0);
  RECT r;
  GetWindowRect(list_, &r);
  ASSERT_TRUE(SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  ASSERT_TRUE(test::WaitUntil([&] {
    POINT at;
    return GetCursorPos(&at) && WindowFromPoint(at) == list_;
  }));
  rows.SetMousePointer(8);
  EXPECT_EQ(rows.MousePointer(), 8);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEALL));
  rows.SetMousePointer(14);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
  rows.SetMousePointer(0);
  EXPECT_EQ(rows.MousePointer(), 0);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));  // the list's own
}

TEST_F(ControlsTest, EditBoxContentIsTheWholeAnsiText) {
  EditBox box(edit_);
  const std::string text = test::Narrow(L"店铺一 C:\\路径\\chrome.exe");
  box.SetContent(text);
  EXPECT_EQ(box.Content(), text);
  box.SetContent("");
  EXPECT_EQ(box.Content(), "");
  EXPECT_EQ(EditBox().Content(), "");
}

}  // namespace

// The list operations against a real report list control in this process.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/list_control.h"
#include "input.h"
#include "report_list.h"
#include "win_test_support.h"

namespace {

// A shown window holding a report list with two columns, like the launcher's.
// Made once for the program (showing a window takes Wine a while) and emptied
// before each test.
class ListControlTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (list_) return;
    static test::ReportListWindow window({LVS_SHOWSELALWAYS, {{"column", 60}, {"column", 200}}});
    list_ = window.list();
  }
  void SetUp() override {
    ASSERT_NE(list_, nullptr);
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    ASSERT_EQ(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0), 0);
    SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_SUBITEMIMAGES, 0);
    test::PumpMessagesFor(std::chrono::milliseconds(20));
  }

  void AddRows(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) ListInsertRow(list_, std::nullopt, text);
  }
  std::vector<std::string> Column(std::int32_t column) const {
    std::vector<std::string> texts;
    for (std::int32_t row = 0; row < ListRowCount(list_); ++row) texts.push_back(ListGetCellText(list_, row, column));
    return texts;
  }

  static inline HWND list_ = nullptr;
};

struct InsertStep {
  std::optional<std::int32_t> position;
  std::string text;
  std::int32_t expectedIndex;
};

TEST_F(ListControlTest, InsertPositions) {
  const InsertStep steps[] = {
      {std::nullopt, "a", 0},                                                  // nothing given on an empty list: row 0
      {std::nullopt, "b", 1}, {std::nullopt, "c", 2}, {std::nullopt, "d", 3},  // nothing given on three rows: row 3
      {-5, "e", 4},                                                            // a negative position appends
      {0, "first", 0},        {2, "middle", 2},       {100, "far", 7},         // past the end: the control appends
  };
  for (const InsertStep& step : steps)
    EXPECT_EQ(ListInsertRow(list_, step.position, step.text), step.expectedIndex) << step.text;
  EXPECT_EQ(Column(0), (std::vector<std::string>{"first", "a", "middle", "b", "c", "d", "e", "far"}));
}

TEST_F(ListControlTest, InsertedRowsCarryImageIndentAndValue) {
  struct Case {
    std::int32_t image, indent, value;
    std::int32_t expectedImage, expectedIndent;
  };
  const Case cases[] = {{-1, 0, 0, -1, 0}, {3, 2, 42, 3, 2}, {-7, -2, -5, -1, 0}, {0, 0, 0x7fffffff, 0, 0}};
  for (const Case& c : cases) {
    const std::int32_t row = ListInsertRow(list_, std::nullopt, "x", c.image, c.indent, c.value);
    ASSERT_GE(row, 0);
    EXPECT_EQ(ListGetCellImage(list_, row), c.expectedImage) << row;
    EXPECT_EQ(ListGetRowValue(list_, row), c.value) << row;
    LVITEMA item{};
    item.mask = LVIF_INDENT;
    item.iItem = row;
    ASSERT_TRUE(SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.iIndent, c.expectedIndent) << row;
  }
}

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

struct TextCase {
  const char* name;
  std::string text;
};

class ListTextTest : public ListControlTest, public testing::WithParamInterface<TextCase> {};

TEST_P(ListTextTest, TextsComeBackWhole) {
  const std::string& text = GetParam().text;
  ASSERT_EQ(ListInsertRow(list_, std::nullopt, text), 0);
  ListSetCellText(list_, 0, 1, text);
  EXPECT_EQ(ListGetCellText(list_, 0), text);
  EXPECT_EQ(ListGetCellText(list_, 0, 1), text);
}

// Lengths around the first buffer (512 bytes) and its doublings; "啊" is two bytes.
INSTANTIATE_TEST_SUITE_P(Cases, ListTextTest,
                         testing::Values(TextCase{"Empty", ""}, TextCase{"Short", "13800138000"},
                                         TextCase{"Bytes510", std::string(510, 'x')},
                                         TextCase{"Bytes511", std::string(511, 'x')},
                                         TextCase{"Bytes512", std::string(512, 'x')},
                                         TextCase{"Bytes1023", std::string(1023, 'y')},
                                         TextCase{"Bytes2000", Repeat("0123456789", 200)},
                                         TextCase{"DoubleByteAcrossTheBuffer", Repeat("\xb0\xa1", 300)},
                                         TextCase{"DoubleByteOddAcrossTheBuffer", "a" + Repeat("\xb0\xa1", 600)},
                                         TextCase{"Bytes70000", Repeat("z\xb0\xa1", 23334)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListControlTest, CellsThatDoNotExistReadAsNothing) {
  AddRows({"a"});
  EXPECT_EQ(ListGetCellText(list_, 0, 1), "");  // never set
  EXPECT_EQ(ListGetCellText(list_, 1), "");
  EXPECT_EQ(ListGetCellText(list_, -1), "");
  EXPECT_EQ(ListGetCellText(list_, 0, 5), "");
  EXPECT_EQ(ListGetCellImage(list_, 3), 0);
  EXPECT_EQ(ListGetRowValue(list_, 3), 0);

  // Setters on missing rows change nothing.
  ListSetCellText(list_, 4, 0, "ghost");
  ListSetCellImage(list_, 4, 0, 2);
  ListSetRowValue(list_, 4, 9);
  EXPECT_EQ(ListRowCount(list_), 1);
  EXPECT_EQ(Column(0), std::vector<std::string>{"a"});
}

TEST_F(ListControlTest, CellTextsAreSetPerColumn) {
  AddRows({"1", "2"});
  ListSetCellText(list_, 1, 1, "\xd5\xcb\xba\xc5");
  ListSetCellText(list_, 0, 0, "one");
  ListSetCellText(list_, 0);  // text absent: empty
  EXPECT_EQ(Column(0), (std::vector<std::string>{"", "2"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"", "\xd5\xcb\xba\xc5"}));
}

TEST_F(ListControlTest, CellImages) {
  // Sub-items keep images of their own only in a list that shows them.
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_SUBITEMIMAGES, LVS_EX_SUBITEMIMAGES);
  AddRows({"a", "b"});
  ListSetCellImage(list_, 0, 0, 3);
  ListSetCellImage(list_, 0, 1, 2);
  ListSetCellImage(list_, 1, 0, -9);
  EXPECT_EQ(ListGetCellImage(list_, 0), 3);
  EXPECT_EQ(ListGetCellImage(list_, 0, 1), 2);
  EXPECT_EQ(ListGetCellImage(list_, 1), -1);
  ListSetCellImage(list_, 0);
  EXPECT_EQ(ListGetCellImage(list_, 0), -1);
}

// Counts the paints the list receives.
LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR counter) {
  if (message == WM_PAINT) ++*reinterpret_cast<int*>(counter);
  return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(ListControlTest, RemovingAnImageRepaintsAtOnce) {
  AddRows({"a", "b"});
  ListSetCellImage(list_, 0, 0, 1);
  test::PumpMessagesFor(std::chrono::milliseconds(50));
  int paints = 0;
  ASSERT_TRUE(SetWindowSubclass(list_, CountPaints, 1, reinterpret_cast<DWORD_PTR>(&paints)));

  ListSetCellImage(list_, 0, 0, 2);  // painted later, with the next messages
  EXPECT_EQ(paints, 0);
  ListSetCellImage(list_, 0, 0, -1);
  EXPECT_GE(paints, 1);
  RECT pending{};
  EXPECT_FALSE(GetUpdateRect(list_, &pending, FALSE));
  RemoveWindowSubclass(list_, CountPaints, 1);
}

TEST_F(ListControlTest, RowValues) {
  AddRows({"a", "b"});
  EXPECT_EQ(ListGetRowValue(list_, 0), 0);
  ListSetRowValue(list_, 0, 42);
  ListSetRowValue(list_, 1, -123456);
  EXPECT_EQ(ListGetRowValue(list_, 0), 42);
  EXPECT_EQ(ListGetRowValue(list_, 1), -123456);
  ListSetRowValue(list_, 0);
  EXPECT_EQ(ListGetRowValue(list_, 0), 0);
}

TEST_F(ListControlTest, Deletes) {
  AddRows({"a", "b", "c", "d"});
  ListDeleteRow(list_, 3);  // the last row
  EXPECT_EQ(ListRowCount(list_), 3);
  ListDeleteRow(list_, 1);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "c"}));
  ListDeleteRow(list_, 7);
  ListDeleteRow(list_, -1);
  EXPECT_EQ(ListRowCount(list_), 2);
  ListDeleteAllRows(list_);
  EXPECT_EQ(ListRowCount(list_), 0);
  ListDeleteAllRows(list_);
  EXPECT_EQ(ListRowCount(list_), 0);
}

TEST_F(ListControlTest, HitTestFindsTheRowUnderThePoint) {
  AddRows({"a", "b", "c"});
  for (std::int32_t row = 0; row < 3; ++row) ListSetCellText(list_, row, 1, "account");
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageA(list_, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&bounds)));
  const int middleY = (bounds.top + bounds.bottom) / 2;
  EXPECT_EQ(ListHitTestRow(list_, 10, middleY), 1);
  EXPECT_EQ(ListHitTestRow(list_, 100, middleY), 1);  // on column 1

  RECT last{};
  last.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageA(list_, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last)));
  EXPECT_EQ(ListHitTestRow(list_, 10, last.bottom + 5), -1);  // below the last row
  EXPECT_EQ(ListHitTestRow(list_, 10, 300), -1);
}

TEST_F(ListControlTest, HitTestOnAnEmptyList) { EXPECT_EQ(ListHitTestRow(list_, 10, 40), -1); }

TEST(IsLeftButtonDown, FollowsTheButton) {
  EXPECT_FALSE(IsLeftButtonDown());
  test::PressLeftButton();
  EXPECT_TRUE(test::WaitUntil([] { return IsLeftButtonDown(); }, std::chrono::seconds(5)));
  test::ReleaseLeftButton();
  EXPECT_TRUE(test::WaitUntil([] { return !IsLeftButtonDown(); }, std::chrono::seconds(5)));
}

}  // namespace

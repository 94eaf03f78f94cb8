// ExportHtml compared byte for byte, in local and in remote mode.
#include <gtest/gtest.h>

#include "list_fixture.h"
#include "listview/list_view_access.h"
#include "win_test_support.h"

namespace {

void AddColumn(HWND list, int at, const std::string& title) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<char*>(title.c_str());
  column.cx = 80;
  SendMessageA(list, LVM_INSERTCOLUMNA, at, reinterpret_cast<LPARAM>(&column));
}

void AddRow(HWND list, int row, const std::string& first, const std::string& second) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<char*>(first.c_str());
  SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  item.iSubItem = 1;
  item.pszText = const_cast<char*>(second.c_str());
  SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

const std::string kLongCell = std::string(1000, 'c') + std::string(100, 'd');  // 1,100 bytes
const std::string kLongTitle = std::string(250, 't') + std::string(50, 'u');   // 300 bytes

class ExportHtmlTest : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    AddColumn(window_.list(), 0, kLongTitle);
    AddColumn(window_.list(), 1, "<b>&amp;");
    ASSERT_TRUE(lv_.Bind(window_.list(), GetParam()));
  }
  void AddRows() {
    AddRow(window_.list(), 0, "a<b", "x&y");
    AddRow(window_.list(), 1, lvtest::kChinese, kLongCell);
  }

  lvtest::ListWindow window_;
  ListViewAccess lv_;
  test::TempFolder folder_;
};

INSTANTIATE_TEST_SUITE_P(Modes, ExportHtmlTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Remote" : "Local"; });

const std::string kBody =
    "  <tr>\r\n"
    "    <td>a<b</td>\r\n"
    "    <td>x&y</td>\r\n"
    "  </tr>\r\n"
    "  <tr>\r\n"
    "    <td>" +
    lvtest::kChinese +
    "</td>\r\n"
    "    <td>" +
    std::string(1000, 'c') + std::string(23, 'd') +
    "</td>\r\n"
    "  </tr>\r\n";

TEST_P(ExportHtmlTest, WritesTheTableWithItsHeadingRow) {
  AddRows();
  const std::string file = folder_ / "table.html";
  ASSERT_TRUE(test::WriteWholeFile(file, std::string(20000, 'o')));  // replaced, not overwritten in part
  ASSERT_TRUE(lv_.ExportHtml(file, true));
  EXPECT_EQ(test::ReadWholeFile(file),
            "<table border=\"1\">\r\n"
            "  <tr>\r\n"
            "    <th>" +
                std::string(250, 't') + std::string(9, 'u') +
                "</th>\r\n"
                "    <th><b>&amp;</th>\r\n"
                "  </tr>\r\n" +
                kBody + "</table>\r\n");
  EXPECT_EQ(lv_.Memory().LiveAllocations(), 0u);
}

TEST_P(ExportHtmlTest, HasNoHeadingRowUnlessAsked) {
  AddRows();
  const std::string file = folder_ / "plain.html";
  ASSERT_TRUE(lv_.ExportHtml(file));
  EXPECT_EQ(test::ReadWholeFile(file), "<table border=\"1\">\r\n" + kBody + "</table>\r\n");
  ASSERT_TRUE(lv_.ExportHtml(file, false));
  EXPECT_EQ(test::ReadWholeFile(file), "<table border=\"1\">\r\n" + kBody + "</table>\r\n");
}

TEST_P(ExportHtmlTest, TouchesNoFileWithoutRowsOrColumns) {
  const std::string missing = folder_ / "none.html";
  EXPECT_FALSE(lv_.ExportHtml(missing, true));
  EXPECT_FALSE(test::FileExists(missing));
  const std::string existing = folder_ / "kept.html";
  ASSERT_TRUE(test::WriteWholeFile(existing, "keep me"));
  EXPECT_FALSE(lv_.ExportHtml(existing));
  EXPECT_EQ(test::ReadWholeFile(existing), "keep me");
  // Rows but no columns.
  AddRows();
  while (SendMessageA(window_.list(), LVM_DELETECOLUMN, 0, 0)) {
  }
  ASSERT_EQ(lv_.GetColumnCount(), 0);
  ASSERT_GT(lv_.GetItemCount(), 0);
  EXPECT_FALSE(lv_.ExportHtml(existing));
  EXPECT_EQ(test::ReadWholeFile(existing), "keep me");
}

TEST_P(ExportHtmlTest, FailsWhenTheFileCannotBeOpened) {
  AddRows();
  EXPECT_FALSE(lv_.ExportHtml(""));
  EXPECT_FALSE(lv_.ExportHtml(folder_ / "no-such-folder\\t.html"));
}

TEST_P(ExportHtmlTest, LeavesTheFileOpenToOtherPrograms) {
  AddRows();
  const std::string file = folder_ / "shared.html";
  ASSERT_TRUE(test::WriteWholeFile(file, "old"));
  // Another program holds the file open for reading and writing, sharing it.
  UniqueFile other(CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(other);
  ASSERT_TRUE(lv_.ExportHtml(file));
  char start[20] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(other.get(), start, 18, &read, nullptr));
  EXPECT_EQ(std::string(start, read), "<table border=\"1\">");
}

}  // namespace

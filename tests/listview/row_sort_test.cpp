// SortRows: the quicksort with a moving hole, by every key, both directions.
#include <gtest/gtest.h>

#include "listview/list_view_access.h"
#include "listview/row_sort.h"

namespace {

RowRecord Row(const std::string& text, std::int32_t key, std::vector<std::string> subTexts = {}) {
  RowRecord row;
  row.text = text;
  row.image = key;
  row.check = key;
  row.param = key;
  row.subTexts = std::move(subTexts);
  row.subImages.assign(row.subTexts.size(), key);
  return row;
}

// The texts of the rows in order, e.g. "b,d,c,a".
std::string Order(const std::vector<RowRecord>& rows) {
  std::string out;
  for (std::size_t i = 0; i < rows.size(); ++i) out += (i ? "," : "") + rows[i].text;
  return out;
}

struct SortCase {
  int line;
  std::vector<RowRecord> rows;
  std::optional<std::int32_t> from, to;
  std::int32_t type;
  std::string expected;
};

TEST(SortRows, OrdersByTheChosenKey) {
  // Equal keys: the pivot's moving hole decides where they land (not stable).
  const std::vector<RowRecord> equalKeys = {Row("a", 3), Row("b", 1), Row("c", 3), Row("d", 2)};
  const std::vector<RowRecord> bytes = {Row("b", 0), Row("\xB0", 0), Row("B", 0), Row("a", 0), Row("", 0)};
  const std::vector<RowRecord> columns = {Row("r1", 0, {"x", "m"}), Row("r2", 0, {"y"}), Row("r3", 0, {"z", "a"})};
  const std::vector<SortCase> cases = {
      {__LINE__, equalKeys, {}, {}, 4, "b,d,c,a"},
      {__LINE__, equalKeys, {}, {}, ~4, "a,c,d,b"},
      {__LINE__, equalKeys, {}, {}, 2, "b,d,c,a"},
      {__LINE__, equalKeys, {}, {}, 3, "b,d,c,a"},
      {__LINE__, equalKeys, {}, {}, ~3, "a,c,d,b"},
      // Unsigned bytes: 0xB0 after every ASCII byte; the empty text first.
      {__LINE__, bytes, {}, {}, 1, ",B,a,b,\xB0"},
      {__LINE__, bytes, {}, {}, ~1, "\xB0,b,a,B,"},
      {__LINE__, bytes, {}, {}, 0x800, ",B,a,b,\xB0"},
      {__LINE__, bytes, {}, {}, ~0x800, "\xB0,b,a,B,"},
      // Column texts; a row without the column sorts as the empty text.
      {__LINE__, columns, {}, {}, 0x801, "r1,r2,r3"},
      {__LINE__, columns, {}, {}, ~0x801, "r3,r2,r1"},
      {__LINE__, columns, {}, {}, 0x802, "r2,r3,r1"},
      {__LINE__, columns, {}, {}, 0x805, "r1,r2,r3"},
      // Codes that leave the order.
      {__LINE__, equalKeys, {}, {}, 0, "a,b,c,d"},
      {__LINE__, equalKeys, {}, {}, -1, "a,b,c,d"},
      {__LINE__, equalKeys, {}, {}, 5, "a,b,c,d"},
      {__LINE__, equalKeys, {}, {}, 0x7FF, "a,b,c,d"},
      {__LINE__, equalKeys, {}, {}, ~5, "a,b,c,d"},
      // 1-based ranges, both ends included.
      {__LINE__, equalKeys, 2, 4, 4, "a,b,d,c"},
      {__LINE__, equalKeys, 1, 2, ~1, "b,a,c,d"},
      {__LINE__, equalKeys, 3, 3, 4, "a,b,c,d"},
      {__LINE__, equalKeys, 4, 2, 4, "a,b,c,d"},
      {__LINE__, equalKeys, 2, {}, 4, "a,b,d,c"},
      {__LINE__, equalKeys, {}, 99, 4, "b,d,c,a"},
      {__LINE__, {}, {}, {}, 4, ""},
  };
  ListViewAccess lv;  // sorting needs no bound control
  for (const SortCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "line " << c.line);
    std::vector<RowRecord> rows = c.rows;
    lv.SortRows(rows, c.from, c.to, c.type);
    EXPECT_EQ(Order(rows), c.expected);
  }
}

TEST(SortRows, MovesWholeRecords) {
  std::vector<RowRecord> rows = {Row("z", 9, {"z1", "z2"}), Row("y", 8, {"y1"}), Row("x", 7)};
  std::vector<RowRecord> expected = {rows[2], rows[1], rows[0]};
  SortRowRecords(rows, std::nullopt, std::nullopt, 4);
  EXPECT_EQ(rows, expected);
}

}  // namespace

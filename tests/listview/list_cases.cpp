#include "list_cases.h"

#include "list_fixture.h"

namespace lvtest {

std::string Show(const std::string& text) { return text; }
std::string Show(std::int32_t value) { return std::to_string(value); }
std::string Show(bool value) { return value ? "true" : "false"; }
std::string Show(std::uint8_t value) { return std::to_string(static_cast<int>(value)); }

std::string Show(const std::vector<std::int32_t>& rows) {
  std::string out = "{";
  for (std::size_t i = 0; i < rows.size(); ++i) out += (i ? "," : "") + std::to_string(rows[i]);
  return out + "}";
}

std::string Show(const RowRecord& row) {
  std::string out = row.text + "|" + std::to_string(row.image) + "|" + std::to_string(row.check) + "|" +
                    std::to_string(row.param) + "|" + std::to_string(row.indent) + "|";
  for (std::size_t i = 0; i < row.subTexts.size(); ++i) out += (i ? "," : "") + row.subTexts[i];
  out += "|";
  for (std::size_t i = 0; i < row.subImages.size(); ++i) out += (i ? "," : "") + std::to_string(row.subImages[i]);
  return out;
}

const std::vector<ReadCase>& KnownContentReads() {
  static const std::vector<ReadCase> cases = {
      LV_READ(lv.GetItemCount(), "4"),
      LV_READ(lv.GetColumnCount(), "3"),
      // Texts: cells, double-byte text, the capacity cut, missing rows and columns.
      LV_READ(lv.GetItemText(0), "alpha"),
      LV_READ(lv.GetItemText(0, 1), "x1"),
      LV_READ(lv.GetItemText(2, 2), "y3"),
      LV_READ(lv.GetItemText(3), kChinese),
      LV_READ(lv.GetItemText(1, 0, 3), "be"),
      LV_READ(lv.GetItemText(0, 0, 1), ""),
      LV_READ(lv.GetItemText(0, 0, 0), ""),
      LV_READ(lv.GetItemText(9), ""),
      LV_READ(lv.GetItemText(0, 7), ""),
      LV_READ(lv.GetCellImage(1), "1"),
      LV_READ(lv.GetCellImage(0, 1), "10"),
      LV_READ(lv.GetCellImage(0, 2), "11"),
      LV_READ(lv.GetCellImage(9), "0"),
      // Check state: state image minus 1, -1 without a state image.
      LV_READ(lv.GetCheckState(0), "1"),
      LV_READ(lv.GetCheckState(1), "0"),
      LV_READ(lv.GetCheckState(2), "-1"),
      LV_READ(lv.GetCheckedRows(), "{0,2,3}"),
      LV_READ(lv.GetItemIndent(0), "1"),
      LV_READ(lv.GetItemIndent(3), "2"),
      LV_READ(lv.GetItemIndent(9), "0"),
      LV_READ(lv.GetItemParam(0), "100"),
      LV_READ(lv.GetItemParam(1), "-5"),
      LV_READ(lv.GetItemParam(9), "0"),
      // Selection.
      LV_READ(lv.GetSelectedRows(), "{1,3}"),
      LV_READ(lv.GetSelectedCount(), "2"),
      LV_READ(lv.IsSelected(1), "true"),
      LV_READ(lv.IsSelected(0), "false"),
      LV_READ(lv.GetFirstSelected(), "1"),
      // Search begins after the start item; -1 searches from the first.
      LV_READ(lv.FindItemByText("alpha"), "2"),
      LV_READ(lv.FindItemByText("alpha", -1), "0"),
      LV_READ(lv.FindItemByText("alpha", 0, true), "-1"),
      LV_READ(lv.FindItemByText("alpha", 0, true, true), "0"),
      LV_READ(lv.FindItemByText("beta", -1, true), "1"),
      LV_READ(lv.FindItemByText(kChinese, -1, true), "3"),
      LV_READ(lv.FindItemByText("zzz", -1), "-1"),
      LV_READ(lv.FindItemByParam(-1, 100), "0"),
      LV_READ(lv.FindItemByParam(0, 100), "-1"),
      LV_READ(lv.FindItemByParam(0, 100, true), "0"),
      LV_READ(lv.FindItemByParam(-1, -5), "1"),
      LV_READ(lv.FindItemByParam(-1, 7), "2"),
      // Columns, and the failure value of each read of a missing column.
      LV_READ(lv.GetColumnText(1), "City"),
      LV_READ(lv.GetColumnText(7), ""),
      LV_READ(lv.GetColumnAlign(0), "0"),
      LV_READ(lv.GetColumnAlign(1), "1"),
      LV_READ(lv.GetColumnAlign(2), "2"),
      LV_READ(lv.GetColumnAlign(7), "255"),
      LV_READ(lv.GetColumnWidth(0), "100"),
      LV_READ(lv.GetColumnWidth(7), "0"),
      LV_READ(lv.GetColumnImage(2), "1"),
      LV_READ(lv.GetColumnImage(7), "-1"),
      LV_READ(lv.IsColumnImageRight(2), "true"),
      LV_READ(lv.IsColumnImageRight(0), "false"),
      LV_READ(lv.IsColumnImageRight(7), "false"),
      // Whole rows.
      LV_READ(lv.GetRow(0), "alpha|0|1|100|1|x1,y1|10,11"),
      LV_READ(lv.GetRow(3), kChinese + "|3|1|0|2|,z4|0,0"),
      LV_READ(lv.GetRow(9), "|0|0|0|0|,|0,0"),
      LV_READ(lv.GetView(), "3"),
      LV_READ(lv.SingleSelect(), "false"),
  };
  return cases;
}

}  // namespace lvtest

// Whole-row operations of ListViewAccess: reading rows out, inserting and
// sorting them.

#include <algorithm>
#include <optional>

#include "listview/list_view_access.h"
#include "listview/list_view_internal.h"
#include "listview/row_sort.h"

using namespace listview_detail;

namespace {

constexpr std::size_t kRowTextBuffer = 260;
constexpr int kRowTextCapacity = 255;

}  // namespace

void ListViewAccess::InsertRows(std::optional<std::int32_t> firstRow, const std::vector<RowRecord>& rows,
                                std::int32_t sortType) {
  std::vector<RowRecord> sorted = rows;
  SortRowRecords(sorted, std::nullopt, std::nullopt, sortType);
  const ControlLink link = Link();
  // One item record for the whole batch.
  ItemExchange item(link);
  if (!item.Ready()) return;
  List().SetRedraw(false);
  const std::int32_t first = !firstRow || *firstRow == -1 ? GetItemCount() : *firstRow;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const RowRecord& row = sorted[i];
    PassedText text(link, row.text);
    if (!text.Ready()) continue;
    *item = LVITEMA{};
    item->mask = kInsertItemMask;
    item->iItem = first + static_cast<std::int32_t>(i);
    item->pszText = text.Address();
    item->cchTextMax = text.Capacity();
    item->iImage = row.image;
    item->state = CheckToState(row.check);
    item->stateMask = kCheckStateMask;
    item->iIndent = row.indent;
    item->lParam = AsLParam(row.param);
    const std::int32_t inserted = item.Insert();
    if (inserted == -1) continue;
    // The cells go to the row where the item landed (the control appends an
    // item asked for beyond the end).
    item->iItem = inserted;
    const std::size_t columns = std::max(row.subTexts.size(), row.subImages.size());
    for (std::size_t c = 1; c <= columns; ++c) {
      std::optional<PassedText> cellText;
      if (c <= row.subTexts.size()) {
        cellText.emplace(link, row.subTexts[c - 1]);
        if (!cellText->Ready()) continue;
      }
      item->iSubItem = static_cast<int>(c);
      item->mask = cellText ? LVIF_TEXT : 0;
      item->pszText = cellText ? cellText->Address() : nullptr;
      item->cchTextMax = cellText ? cellText->Capacity() : 0;
      item->iImage = 0;
      if (c <= row.subImages.size()) {
        item->iImage = row.subImages[c - 1];
        item->mask |= LVIF_IMAGE;
      }
      item.Set();
    }
  }
  List().SetRedraw(true);
}

void ListViewAccess::SortRows(std::vector<RowRecord>& rows, std::optional<std::int32_t> from,
                              std::optional<std::int32_t> to, std::int32_t sortType) {
  SortRowRecords(rows, from, to, sortType);
}

RowRecord ListViewAccess::GetRow(std::int32_t row) {
  RowRecord result;
  const std::int32_t columns = GetColumnCount();
  if (columns > 1) {
    result.subTexts.assign(static_cast<std::size_t>(columns - 1), std::string());
    result.subImages.assign(static_cast<std::size_t>(columns - 1), 0);
  }
  const ControlLink link = Link();
  // One item record for the item and every further cell.
  ItemExchange item(link);
  if (!item.Ready()) return result;
  {
    TextBuffer text(link, kRowTextBuffer);
    if (!text.Ready()) return result;
    item->mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
    item->iItem = row;
    item->stateMask = kCheckStateMask;
    item->pszText = text.Address();
    item->cchTextMax = kRowTextCapacity;
    if (!item.Get()) return result;
    item.ReadBack();
    result.text = text.Text();
    result.image = item->iImage;
    result.param = static_cast<std::int32_t>(item->lParam);
    result.indent = item->iIndent;
    result.check = StateToCheck(item->state);
  }
  for (std::int32_t c = 1; c < columns; ++c) {
    TextBuffer text(link, kRowTextBuffer);
    if (!text.Ready()) continue;
    item->mask = LVIF_TEXT | LVIF_IMAGE;
    item->iItem = row;
    item->iSubItem = c;
    item->pszText = text.Address();
    item->cchTextMax = kRowTextCapacity;
    if (!item.Get()) continue;
    item.ReadBack();
    result.subTexts[static_cast<std::size_t>(c - 1)] = text.Text();
    result.subImages[static_cast<std::size_t>(c - 1)] = item->iImage;
  }
  return result;
}

void ListViewAccess::GetAllRows(std::vector<RowRecord>& rows) {
  const std::int32_t count = std::max(GetItemCount(), 0);
  rows.assign(static_cast<std::size_t>(count), RowRecord{});
  for (std::int32_t i = 0; i < count; ++i) rows[static_cast<std::size_t>(i)] = GetRow(i);
}

void ListViewAccess::SortByColumn(std::int32_t column, bool ascending) {
  std::vector<RowRecord> rows;
  GetAllRows(rows);
  DeleteAllItems();
  const std::int32_t sortType = ascending ? column + kSortByColumnText : ~(column + kSortByColumnText);
  InsertRows(0, rows, sortType);
}

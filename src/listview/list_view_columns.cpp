// The column operations of ListViewAccess.

#include <optional>

#include "listview/list_view_access.h"
#include "listview/list_view_internal.h"

using namespace listview_detail;

namespace {

constexpr std::size_t kColumnTextCapacity = 260;

// The column record after LVM_GETCOLUMNA; nothing when the message fails.
std::optional<LVCOLUMNA> ReadColumn(const ControlLink& link, std::int32_t column, UINT mask) {
  CarriedRecord<LVCOLUMNA> record(link);
  if (!record.Ready()) return std::nullopt;
  record->mask = mask;
  if (record.Send(LVM_GETCOLUMNA, AsWParam(column)) == 0) return std::nullopt;
  record.ReadBack();
  return *record;
}

void SendColumn(const ControlLink& link, const LVCOLUMNA& filled, std::int32_t column) {
  CarriedRecord<LVCOLUMNA> record(link);
  if (!record.Ready()) return;
  *record = filled;
  record.Send(LVM_SETCOLUMNA, AsWParam(column));
}

// Align codes 0 left, 1 centre, 2 right to the column format and back.
int FormatOfAlign(std::int32_t align) {
  switch (align) {
    case 1:
      return LVCFMT_CENTER;
    case 2:
      return LVCFMT_RIGHT;
    default:
      return LVCFMT_LEFT;
  }
}

}  // namespace

std::string ListViewAccess::GetColumnText(std::int32_t column) {
  const ControlLink link = Link();
  CarriedRecord<LVCOLUMNA> record(link);
  TextBuffer text(link, kColumnTextCapacity);
  if (!record.Ready() || !text.Ready()) return {};
  record->mask = LVCF_TEXT;
  record->pszText = text.Address();
  record->cchTextMax = static_cast<int>(kColumnTextCapacity);
  if (record.Send(LVM_GETCOLUMNA, AsWParam(column)) == 0) return {};
  return text.Text();
}

std::uint8_t ListViewAccess::GetColumnAlign(std::int32_t column) {
  const std::optional<LVCOLUMNA> record = ReadColumn(Link(), column, LVCF_FMT);
  if (!record) return 255;
  if (record->fmt & LVCFMT_CENTER) return 1;
  if (record->fmt & LVCFMT_RIGHT) return 2;
  return 0;
}

std::int32_t ListViewAccess::GetColumnWidth(std::int32_t column) {
  const std::optional<LVCOLUMNA> record = ReadColumn(Link(), column, LVCF_WIDTH);
  return record ? record->cx : 0;
}

std::int32_t ListViewAccess::GetColumnImage(std::int32_t column) {
  const std::optional<LVCOLUMNA> record = ReadColumn(Link(), column, LVCF_FMT | LVCF_IMAGE);
  return record ? record->iImage : -1;
}

bool ListViewAccess::IsColumnImageRight(std::int32_t column) {
  const std::optional<LVCOLUMNA> record = ReadColumn(Link(), column, LVCF_FMT | LVCF_IMAGE);
  return record && (record->fmt & LVCFMT_BITMAP_ON_RIGHT) != 0;
}

void ListViewAccess::SetColumnText(std::int32_t column, const std::string& text) {
  const ControlLink link = Link();
  CarriedRecord<LVCOLUMNA> record(link);
  PassedText passed(link, text);
  if (!record.Ready() || !passed.Ready()) return;
  record->mask = LVCF_TEXT;
  record->pszText = passed.Address();
  record.Send(LVM_SETCOLUMNA, AsWParam(column));
}

void ListViewAccess::SetColumnWidth(std::int32_t column, std::int32_t width) {
  LVCOLUMNA record{};
  record.mask = LVCF_WIDTH;
  record.cx = width;
  SendColumn(Link(), record, column);
}

void ListViewAccess::SetColumnImage(std::int32_t column, std::int32_t image) {
  LVCOLUMNA record{};
  record.mask = LVCF_IMAGE;
  record.iImage = image;
  SendColumn(Link(), record, column);
}

std::int32_t ListViewAccess::GetColumnCount() {
  header_ = reinterpret_cast<HWND>(Send(LVM_GETHEADER, 0, 0));
  return static_cast<std::int32_t>(::SendMessageA(header_, HDM_GETITEMCOUNT, 0, 0));
}

std::int32_t ListViewAccess::InsertColumn(std::optional<std::int32_t> position, const std::string& text,
                                          std::int32_t width, std::int32_t align, std::int32_t image,
                                          bool imageOnRight) {
  const std::int32_t at = !position || *position == -1 ? GetColumnCount() : *position;
  const ControlLink link = Link();
  CarriedRecord<LVCOLUMNA> record(link);
  PassedText passed(link, text);
  if (!record.Ready() || !passed.Ready()) return -1;
  record->mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_IMAGE;
  record->fmt = FormatOfAlign(align) | (imageOnRight ? LVCFMT_BITMAP_ON_RIGHT : 0);
  record->cx = width;
  record->iImage = image;
  record->pszText = passed.Address();
  return static_cast<std::int32_t>(record.Send(LVM_INSERTCOLUMNA, AsWParam(at)));
}

bool ListViewAccess::DeleteColumn(std::int32_t column) { return Send(LVM_DELETECOLUMN, AsWParam(column), 0) != 0; }

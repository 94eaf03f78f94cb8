// Colours, view, background image and spacing of the bound control.

#include "listview/list_view_access.h"
#include "listview/list_view_internal.h"

using namespace listview_detail;

namespace {

constexpr std::size_t kBkImageCapacity = 256;

}  // namespace

COLORREF ListViewAccess::GetTextColor() { return static_cast<COLORREF>(Send(LVM_GETTEXTCOLOR, 0, 0)); }

void ListViewAccess::SetTextColor(COLORREF color) {
  Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color));
  RedrawPage();
}

// The visible page: from the top row through top + count per page - 1.
bool ListViewAccess::RedrawPage() {
  const std::int32_t top = GetTopIndex();
  const std::int32_t count = GetCountPerPage();
  return Send(LVM_REDRAWITEMS, AsWParam(top), AsLParam(top + count - 1)) != 0;
}

std::int32_t ListViewAccess::GetTopIndex() { return static_cast<std::int32_t>(Send(LVM_GETTOPINDEX, 0, 0)); }

std::int32_t ListViewAccess::GetCountPerPage() { return static_cast<std::int32_t>(Send(LVM_GETCOUNTPERPAGE, 0, 0)); }

COLORREF ListViewAccess::GetTextBkColor() { return static_cast<COLORREF>(Send(LVM_GETTEXTBKCOLOR, 0, 0)); }

void ListViewAccess::SetTextBkColor(COLORREF color) {
  Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(color));
  RedrawPage();
}

COLORREF ListViewAccess::GetBkColor() { return static_cast<COLORREF>(Send(LVM_GETBKCOLOR, 0, 0)); }

void ListViewAccess::SetBkColor(COLORREF color) {
  Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(color));
  RedrawPage();
}

std::int32_t ListViewAccess::GetView() {
  switch (Send(LVM_GETVIEW, 0, 0)) {
    case LV_VIEW_ICON:
      return 0;
    case LV_VIEW_SMALLICON:
      return 1;
    case LV_VIEW_LIST:
      return 2;
    case LV_VIEW_DETAILS:
      return 3;
    case LV_VIEW_TILE:
      return 4;
    default:
      return -1;
  }
}

bool ListViewAccess::SetView(std::int32_t view) {
  WPARAM mapped = LV_VIEW_ICON;
  switch (view) {
    case 1:
      mapped = LV_VIEW_SMALLICON;
      break;
    case 2:
      mapped = LV_VIEW_LIST;
      break;
    case 3:
      mapped = LV_VIEW_DETAILS;
      break;
    case 4:
      mapped = LV_VIEW_TILE;
      break;
    default:
      break;
  }
  // The control answers 1 on success and -1 on failure.
  return Send(LVM_SETVIEW, mapped, 0) == 1;
}

std::string ListViewAccess::GetBkImage() {
  const ControlLink link = Link();
  CarriedRecord<LVBKIMAGEA> record(link);
  TextBuffer text(link, kBkImageCapacity);
  if (!record.Ready() || !text.Ready()) return {};
  record->ulFlags = LVBKIF_SOURCE_URL;
  record->pszImage = text.Address();
  record->cchImageMax = static_cast<UINT>(kBkImageCapacity);
  record.Send(LVM_GETBKIMAGEA, 0);
  return text.Text();
}

void ListViewAccess::SetBkImage(const std::string& imageFile, bool tile) {
  SetTextBkColor(CLR_NONE);
  const ControlLink link = Link();
  CarriedRecord<LVBKIMAGEA> record(link);
  PassedText passed(link, imageFile);
  if (!record.Ready() || !passed.Ready()) return;
  record->ulFlags = LVBKIF_SOURCE_URL | (tile ? LVBKIF_STYLE_TILE : 0);
  record->pszImage = passed.Address();
  record->cchImageMax = static_cast<UINT>(passed.Capacity());
  record->xOffsetPercent = 100;
  record->yOffsetPercent = 100;
  record.Send(LVM_SETBKIMAGEA, 0);
}

std::int32_t ListViewAccess::GetHotItem() { return static_cast<std::int32_t>(Send(LVM_GETHOTITEM, 0, 0)); }

std::int32_t ListViewAccess::GetIconSpacing() { return static_cast<std::int32_t>(Send(LVM_GETITEMSPACING, 0, 0)); }

HWND ListViewAccess::GetEditControl() { return reinterpret_cast<HWND>(Send(LVM_GETEDITCONTROL, 0, 0)); }

void ListViewAccess::GetItemSpacing(std::int32_t& horizontal, std::int32_t& vertical, bool smallIcons) {
  const auto packed = static_cast<DWORD>(Send(LVM_GETITEMSPACING, smallIcons ? 1 : 0, 0));
  horizontal = static_cast<std::int16_t>(LOWORD(packed));
  vertical = static_cast<std::int16_t>(HIWORD(packed));
}

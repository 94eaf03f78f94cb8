#include "ui/controls.h"

#include <commctrl.h>

#include <array>
#include <vector>

#include "host/window.h"
#include "launcher/list_content.h"

namespace {

// What a report list keeps beside its rows: the pointer shape, the bytes last
// loaded and the rows' info tips. It hangs on the list as a window property and
// as the data of a subclass of its own, which shows the pointer and frees the
// data with the window.
struct ListState {
  std::int32_t pointer = 0;
  Bytes content;
  std::vector<std::string> infoTips;
};

constexpr UINT_PTR kStateSubclassId = 0x4B4C5354;  // 'KLST'
constexpr wchar_t kStateProperty[] = L"KestrunListState";

// The standard pointers 1..14, in the numbering of the MousePointer property.
const std::array<LPCTSTR, 14> kStandardPointers = {IDC_ARROW,       IDC_CROSS,  IDC_IBEAM,   IDC_WAIT,     IDC_HELP,
                                                   IDC_APPSTARTING, IDC_NO,     IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENS,
                                                   IDC_SIZENWSE,    IDC_SIZEWE, IDC_UPARROW, IDC_HAND};

HCURSOR StandardPointer(std::int32_t pointer) {
  if (pointer < 1 || pointer > static_cast<std::int32_t>(kStandardPointers.size())) return nullptr;
  return LoadCursor(nullptr, kStandardPointers[static_cast<std::size_t>(pointer - 1)]);
}

LRESULT CALLBACK ListStateProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* state = reinterpret_cast<ListState*>(data);
  switch (message) {
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        if (HCURSOR cursor = StandardPointer(state->pointer)) {
          SetCursor(cursor);
          return TRUE;
        }
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, ListStateProc, kStateSubclassId);
      RemovePropW(list, kStateProperty);
      delete state;
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

ListState* FindState(HWND list) { return list ? static_cast<ListState*>(GetPropW(list, kStateProperty)) : nullptr; }

ListState* EnsureState(HWND list) {
  if (ListState* state = FindState(list)) return state;
  if (list == nullptr || !IsWindow(list)) return nullptr;
  auto* state = new ListState;
  if (!SetPropW(list, kStateProperty, state)) {
    delete state;
    return nullptr;
  }
  if (!SetWindowSubclass(list, ListStateProc, kStateSubclassId, reinterpret_cast<DWORD_PTR>(state))) {
    RemovePropW(list, kStateProperty);
    delete state;
    return nullptr;
  }
  return state;
}

// True while the pointer is over the list's rows area (or the list holds the
// mouse), so that a new pointer shape must be shown at once.
bool PointerIsOverList(HWND list) {
  if (GetCapture() == list) return true;
  POINT at;
  return GetCursorPos(&at) && WindowFromPoint(at) == list;
}

// An image index is used only when the list has an image list of that kind
// holding it; otherwise the item has no image.
bool ImageExists(HWND list, int kind, std::int32_t index) {
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, kind, 0));
  return images != nullptr && index >= 0 && index < ImageList_GetImageCount(images);
}

bool IsReportView(HWND list) { return (GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT; }

// Inserts the row of a row record at `index`; the new row's index, -1 if the
// list refused it.
std::int32_t InsertRow(HWND list, std::int32_t index, const ContentRecord& record) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = index;
  item.pszText = const_cast<char*>(record.text.c_str());
  item.iImage = ImageExists(list, LVSIL_SMALL, record.image) ? record.image : -1;
  item.lParam = static_cast<LPARAM>(record.itemData);
  if (record.stateImage != -1 && ImageExists(list, LVSIL_STATE, record.stateImage)) {
    item.mask |= LVIF_STATE;
    item.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(record.stateImage) + 1);
    item.stateMask = LVIS_STATEIMAGEMASK;
  }
  if (IsReportView(list)) {
    item.mask |= LVIF_INDENT;
    item.iIndent = record.indent < 0 ? 0 : record.indent;
  }
  return static_cast<std::int32_t>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetCell(HWND list, std::int32_t row, std::int32_t column, const ContentRecord& record) {
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(record.text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  if (ImageExists(list, LVSIL_SMALL, record.image)) {
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = record.image;
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void SetRowState(HWND list, WPARAM row, UINT state, UINT mask) {
  LVITEMA item = {};
  item.state = state;
  item.stateMask = mask;
  SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

std::int32_t ReportList::SelectedRow() const {
  if (list_ == nullptr) return -1;
  return static_cast<std::int32_t>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ReportList::SetSelectedRow(std::int32_t row) {
  if (list_ == nullptr) return;
  if (row >= 0) {
    // Some list implementations scroll the focused row into view: put the
    // rows back where they were.
    const auto top = SendMessageA(list_, LVM_GETTOPINDEX, 0, 0);
    SetRowState(list_, static_cast<WPARAM>(row), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    const auto moved = SendMessageA(list_, LVM_GETTOPINDEX, 0, 0) - top;
    RECT bounds = {LVIR_BOUNDS};
    if (moved != 0 && IsReportView(list_) && SendMessageA(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds)))
      SendMessageA(list_, LVM_SCROLL, 0, static_cast<LPARAM>(-moved * (bounds.bottom - bounds.top)));
    return;
  }
  const std::int32_t selected = SelectedRow();
  if (selected >= 0) SetRowState(list_, static_cast<WPARAM>(selected), 0, LVIS_SELECTED);
}

std::int32_t ReportList::MousePointer() const {
  const ListState* state = FindState(list_);
  return state ? state->pointer : 0;
}

void ReportList::SetMousePointer(std::int32_t pointer) {
  ListState* state = EnsureState(list_);
  if (state == nullptr) return;
  state->pointer = pointer;
  // The system asks for the shape only when the pointer moves: show the new
  // one now, through the list's own answer (its default shape for 0).
  if (PointerIsOverList(list_))
    SendMessageA(list_, WM_SETCURSOR, reinterpret_cast<WPARAM>(list_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void ReportList::SetContent(const Bytes& content) {
  ListState* state = EnsureState(list_);
  if (state == nullptr) return;
  state->content = content;
  state->infoTips.clear();
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);

  std::int32_t next = 0;      // where the next row goes
  std::int32_t current = -1;  // the row that cell records fill
  std::int32_t column = 0;
  for (const ContentRecord& record : DecodeListContent(content)) {
    if (record.kind == 0) {
      current = InsertRow(list_, next, record);
      column = 0;
      if (current < 0) continue;
      next = current + 1;
      if (state->infoTips.size() <= static_cast<std::size_t>(current))
        state->infoTips.resize(static_cast<std::size_t>(current) + 1);
      state->infoTips[static_cast<std::size_t>(current)] = record.secondText;
    } else {
      ++column;
      if (current >= 0) SetCell(list_, current, column, record);
    }
  }
  SetRowState(list_, static_cast<WPARAM>(-1), 0, LVIS_SELECTED);
}

Bytes ReportList::Content() const {
  const ListState* state = FindState(list_);
  return state ? state->content : Bytes{};
}

std::string ReportList::InfoTip(std::int32_t row) const {
  const ListState* state = FindState(list_);
  if (state == nullptr || row < 0 || static_cast<std::size_t>(row) >= state->infoTips.size()) return {};
  return state->infoTips[static_cast<std::size_t>(row)];
}

// The data path is ANSI: account texts and paths are bytes of the code page.
std::string EditBox::Content() const { return edit_ == nullptr ? std::string() : WindowText(edit_); }

void EditBox::SetContent(const std::string& text) {
  if (edit_ != nullptr) SetWindowTextA(edit_, text.c_str());
}

#include "ui/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "host/list_view.h"
#include "host/window.h"
#include "host/list_content.h"
#include "ui/local_subclass.h"

namespace {

// What a report list keeps beside its rows: the pointer shape, the bytes last
// loaded and the rows' info tips. It is the data of a subclass of the list's
// own, which shows the pointer and frees the data with the window.
struct ListState {
  std::int32_t pointer = 0;
  Bytes content;
  std::vector<std::string> infoTips;
};

constexpr UINT_PTR kStateSubclassId = 0x4B4C5354;  // 'KLST'

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
    case WM_NCDESTROY: {
      const LRESULT result = DefLocalSubclassProc(list, message, wParam, lParam);
      delete state;
      return result;
    }
  }
  return DefLocalSubclassProc(list, message, wParam, lParam);
}

ListState* FindState(HWND list) {
  DWORD_PTR state = 0;
  return FindLocalSubclass(list, ListStateProc, kStateSubclassId, state) ? reinterpret_cast<ListState*>(state)
                                                                         : nullptr;
}

ListState* EnsureState(HWND list) {
  if (ListState* state = FindState(list)) return state;
  auto state = std::make_unique<ListState>();
  if (!SetLocalSubclass(list, ListStateProc, kStateSubclassId, reinterpret_cast<DWORD_PTR>(state.get())))
    return nullptr;
  return state.release();
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
  HIMAGELIST images = ListView(list).ImageList(kind);
  return images != nullptr && index >= 0 && index < ImageList_GetImageCount(images);
}

bool IsReportView(HWND list) { return (GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT; }

// Inserts the row of a row record at `index`; the new row's index, -1 if the
// list refused it.
std::int32_t InsertRow(HWND list, std::int32_t index, const RecordView& record, std::string& text) {
  text.assign(record.text);
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = index;
  item.pszText = text.data();
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
  return ListView(list).InsertItem(item);
}

void SetCell(HWND list, std::int32_t row, std::int32_t column, const RecordView& record) {
  const ListView view(list);
  view.SetItemText(row, column, std::string(record.text));
  if (ImageExists(list, LVSIL_SMALL, record.image)) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = column;
    item.iImage = record.image;
    view.SetItem(item);
  }
}

// Fills the emptied list from the records, with redrawing off and room for
// all rows made ahead, and sets the rows' info tips (`infoTips` holds one
// per row record). False when the list refused a row or memory ran out.
bool FillRows(HWND list, const Bytes& content, std::vector<std::string>& infoTips) {
  const ListView view(list);
  view.SetRedraw(false);
  view.SetItemCount(infoTips.size());
  bool complete = true;
  try {
    std::string text;           // the record's text with its closing zero
    std::int32_t next = 0;      // where the next row goes
    std::int32_t current = -1;  // the row that cell records fill
    std::int32_t column = 0;
    ContentReader reader(content);
    for (RecordView record; reader.Next(record);) {
      if (record.kind == 0) {
        current = InsertRow(list, next, record, text);
        column = 0;
        if (current < 0) {
          complete = false;
          continue;
        }
        next = current + 1;
        infoTips[static_cast<std::size_t>(current)].assign(record.secondText);
      } else {
        ++column;
        if (current >= 0) SetCell(list, current, column, record);
      }
    }
  } catch (const std::bad_alloc&) {
    complete = false;
  }
  view.SetRedraw(true);
  InvalidateRect(list, nullptr, TRUE);
  return complete;
}

// No row selected and none with the focus mark, as in a freshly filled list.
void ClearSelection(HWND list) {
  ListView(list).SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageA(list, LVM_SETSELECTIONMARK, 0, -1);
}

bool HasImageLists(HWND list) {
  const ListView view(list);
  return view.ImageList(LVSIL_SMALL) != nullptr || view.ImageList(LVSIL_STATE) != nullptr;
}

// The text of one cell, into a buffer kept across calls; false when the text
// may not fit (it is then taken as different).
bool ReadCellText(HWND list, std::int32_t row, std::int32_t column, std::string& buffer, std::string_view& text) {
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  const auto length = ListView(list).GetItemTextInto(row, item);
  if (length < 0 || static_cast<std::size_t>(length) + 8 >= buffer.size()) return false;
  text = std::string_view(buffer.data(), static_cast<std::size_t>(length));
  return true;
}

// True when filling the list from `content` would give exactly the rows it
// shows: as many rows, and in each the same texts, item data and indent.
// Only for a report list without image lists, where image indexes show
// nothing.
bool ShowsContent(HWND list, const Bytes& content) {
  if (HasImageLists(list) || !IsReportView(list)) return false;
  const auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  const auto columns = static_cast<std::int32_t>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  const std::int32_t rows = ListView(list).ItemCount();
  std::string buffer(4096, '\0');
  std::string_view shown;
  std::int32_t row = -1;
  std::int32_t column = 0;
  // The columns of a row that its records did not reach are empty in a
  // freshly filled list.
  auto restAreEmpty = [&] {
    for (std::int32_t c = column + 1; row >= 0 && c < columns; ++c)
      if (!ReadCellText(list, row, c, buffer, shown) || !shown.empty()) return false;
    return true;
  };
  ContentReader reader(content);
  for (RecordView record; reader.Next(record);) {
    if (record.kind == 0) {
      if (!restAreEmpty() || ++row >= rows) return false;
      column = 0;
      LVITEMA item = {};
      item.mask = LVIF_PARAM | LVIF_INDENT;
      item.iItem = row;
      if (!ListView(list).GetItem(item)) return false;
      if (item.lParam != static_cast<LPARAM>(record.itemData) || item.iIndent != std::max(record.indent, 0))
        return false;
    } else {
      if (row < 0) continue;  // a cell before any row sets nothing
      // Records beyond the list's columns set nothing.
      if (++column >= columns) continue;
    }
    if (!ReadCellText(list, row, column, buffer, shown) || shown != record.text) return false;
  }
  return restAreEmpty() && row + 1 == rows;
}

}  // namespace

std::int32_t ReportList::SelectedRow() const {
  if (list_ == nullptr) return -1;
  return ListView(list_).NextItem(-1, LVNI_SELECTED);
}

void ReportList::SetSelectedRow(std::int32_t row) {
  if (list_ == nullptr) return;
  if (row >= 0) {
    // Some list implementations scroll the focused row into view: put the
    // rows back where they were.
    const auto top = SendMessageA(list_, LVM_GETTOPINDEX, 0, 0);
    ListView(list_).SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    const auto moved = SendMessageA(list_, LVM_GETTOPINDEX, 0, 0) - top;
    RECT bounds = {LVIR_BOUNDS};
    if (moved != 0 && IsReportView(list_) && SendMessageA(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds)))
      SendMessageA(list_, LVM_SCROLL, 0, static_cast<LPARAM>(-moved * (bounds.bottom - bounds.top)));
    return;
  }
  const std::int32_t selected = SelectedRow();
  if (selected >= 0) ListView(list_).SetItemState(selected, 0, LVIS_SELECTED);
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

bool ReportList::SetContent(const Bytes& content) {
  ListState* state = EnsureState(list_);
  if (state == nullptr) return false;
  // What may fail for want of memory comes before the rows are touched.
  try {
    Bytes copy = content;
    std::vector<std::string> infoTips(CountRowRecords(content));
    state->content.swap(copy);
    state->infoTips.swap(infoTips);
  } catch (const std::bad_alloc&) {
    return false;
  }
  ListView(list_).DeleteAllItems();
  const bool complete = FillRows(list_, content, state->infoTips);
  ClearSelection(list_);
  return complete;
}

bool ReportList::ShowContent(const Bytes& content) {
  ListState* state = EnsureState(list_);
  if (state == nullptr) return false;
  try {
    if (!ShowsContent(list_, content)) return SetContent(content);
    // The rows stay; what a fresh fill would change besides them is set here.
    Bytes copy = content;
    std::vector<std::string> infoTips;
    infoTips.reserve(CountRowRecords(content));
    ContentReader reader(content);
    for (RecordView record; reader.Next(record);)
      if (record.kind == 0) infoTips.emplace_back(record.secondText);
    state->content.swap(copy);
    state->infoTips.swap(infoTips);
  } catch (const std::bad_alloc&) {
    return false;
  }
  ClearSelection(list_);
  return true;
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

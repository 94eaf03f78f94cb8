#include "listview/list_view_access.h"

#include "listview/list_view_internal.h"
#include "listview/record_exchange.h"

using namespace listview_detail;

namespace listview_detail {

LVITEMA ReadItem(const ControlLink& link, std::int32_t row, std::int32_t column, UINT mask) {
  ItemExchange item(link);
  if (!item.Ready()) return LVITEMA{};
  *item = CellRecord(mask, row, column);
  item.Get();
  item.ReadBack();
  return *item;
}

void SetItem(const ControlLink& link, const LVITEMA& filled) {
  ItemExchange item(link);
  if (!item.Ready()) return;
  *item = filled;
  item.Set();
}

void SetItemState(const ControlLink& link, std::int32_t row, const LVITEMA& filled) {
  ItemExchange item(link);
  if (!item.Ready()) return;
  *item = filled;
  item.SetState(row);
}

}  // namespace listview_detail

ListViewAccess::ListViewAccess() = default;

ListViewAccess::ListViewAccess(RemoteMemory memory) : memory_(std::move(memory)) {}

ListViewAccess::~ListViewAccess() = default;

LRESULT ListViewAccess::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageA(window_, message, wParam, lParam);
}

ListView ListViewAccess::List() const { return ListView(window_); }

ControlLink ListViewAccess::Link() { return ControlLink{window_, remote_, memory_, process_.get()}; }

bool ListViewAccess::Bind(HWND window, bool remote, std::optional<std::string> className) {
  // An empty class name is the same as none.
  const std::string expected = className && !className->empty() ? *className : std::string("SysListView32");
  char buffer[50] = {};
  ::GetClassNameA(window, buffer, 50);
  if (expected != buffer) return false;
  remote_ = remote;
  window_ = window;
  // Binding again lets go of the previous window's process and of what was left mapped for it.
  memory_.ReleaseMappings();
  process_ = memory_.OpenWindowProcess(window);
  return true;
}

std::string ListViewAccess::GetItemText(std::int32_t row, std::int32_t column, std::int32_t capacity) {
  if (capacity <= 0) return {};
  const ControlLink link = Link();
  ItemExchange item(link);
  TextBuffer text(link, static_cast<std::size_t>(capacity));
  if (!item.Ready() || !text.Ready()) return {};
  item->iSubItem = column;
  item->pszText = text.Address();
  item->cchTextMax = capacity;
  if (!remote_) {
    // A row that does not exist leaves the zeroed buffer: an empty text.
    item.GetText(row);
    return text.Text();
  }
  item->mask = LVIF_TEXT;
  item->iItem = row;
  if (!item.Get()) return {};
  return text.Text();
}

std::int32_t ListViewAccess::GetCellImage(std::int32_t row, std::int32_t column) {
  return ReadItem(Link(), row, column, LVIF_IMAGE).iImage;
}

std::int32_t ListViewAccess::GetCheckState(std::int32_t row) {
  return StateToCheck(List().ItemState(row, kCheckStateMask));
}

std::int32_t ListViewAccess::GetItemIndent(std::int32_t row) { return ReadItem(Link(), row, 0, LVIF_INDENT).iIndent; }

std::int32_t ListViewAccess::GetItemCount() { return List().ItemCount(); }

std::int32_t ListViewAccess::GetItemParam(std::int32_t row) {
  return static_cast<std::int32_t>(ReadItem(Link(), row, 0, LVIF_PARAM).lParam);
}

void ListViewAccess::SetItemText(std::int32_t row, std::int32_t column, const std::string& text) {
  const ControlLink link = Link();
  ItemExchange item(link);
  PassedText passed(link, text);
  if (!item.Ready() || !passed.Ready()) return;
  *item = CellRecord(LVIF_TEXT, row, column);
  item->pszText = passed.Address();
  if (remote_) item->cchTextMax = passed.Capacity();
  item.Set();
}

void ListViewAccess::SetCellImage(std::int32_t row, std::int32_t column, std::int32_t image) {
  LVITEMA item = CellRecord(LVIF_IMAGE, row, column);
  item.iImage = image;
  SetItem(Link(), item);
}

void ListViewAccess::SetCheckState(std::int32_t row, std::int32_t check) {
  // LVM_SETITEMA finds the row by iItem alone, so the row goes into the record
  // in both modes (LVM_SETITEMSTATE takes it from wParam and ignores iItem).
  LVITEMA item = CellRecord(LVIF_STATE, row);
  item.state = CheckToState(check);
  item.stateMask = kCheckStateMask;
  if (remote_) {
    SetItem(Link(), item);
  } else {
    SetItemState(Link(), row, item);
  }
}

void ListViewAccess::SetItemIndent(std::int32_t row, std::int32_t indent) {
  LVITEMA item = CellRecord(LVIF_INDENT, row);
  item.iIndent = indent;
  SetItem(Link(), item);
}

void ListViewAccess::SetItemParam(std::int32_t row, std::int32_t value) {
  LVITEMA item = CellRecord(LVIF_PARAM, row);
  item.lParam = AsLParam(value);
  SetItem(Link(), item);
}

std::vector<std::int32_t> ListViewAccess::GetSelectedRows() {
  std::vector<std::int32_t> rows;
  const std::int32_t count = GetItemCount();
  for (std::int32_t i = 0; i < count; ++i) {
    if (IsSelected(i)) rows.push_back(i);
  }
  return rows;
}

std::vector<std::int32_t> ListViewAccess::GetCheckedRows() {
  std::vector<std::int32_t> rows;
  const std::int32_t count = GetItemCount();
  for (std::int32_t i = 0; i < count; ++i) {
    if (GetCheckState(i) != 0) rows.push_back(i);
  }
  return rows;
}

std::int32_t ListViewAccess::GetSelectedCount() { return static_cast<std::int32_t>(Send(LVM_GETSELECTEDCOUNT, 0, 0)); }

bool ListViewAccess::IsSelected(std::int32_t row) { return List().ItemState(row, LVIS_SELECTED) == LVIS_SELECTED; }

void ListViewAccess::SelectItem(std::int32_t row) {
  LVITEMA item{};
  item.mask = LVIF_STATE;
  item.state = LVIS_SELECTED;
  item.stateMask = LVIS_SELECTED;
  SetItemState(Link(), row, item);
}

void ListViewAccess::DeselectItem(std::int32_t row) {
  LVITEMA item = CellRecord(LVIF_STATE, row);  // see SetCheckState
  item.state = ~static_cast<UINT>(LVIS_SELECTED);
  item.stateMask = LVIS_SELECTED;
  if (!remote_) {
    SetItemState(Link(), row, item);
    return;
  }
  // The other process's list is sent the row in wParam as well (the control
  // ignores it there).
  CarriedRecord<LVITEMA> carried(Link());
  if (!carried.Ready()) return;
  *carried = item;
  carried.Send(LVM_SETITEMA, AsWParam(row));
}

std::int32_t ListViewAccess::InsertItem(std::optional<std::int32_t> row, const std::string& text, std::int32_t image,
                                        std::int32_t check, std::int32_t indent, std::int32_t param) {
  const std::int32_t at = !row || *row == -1 ? GetItemCount() : *row;
  const ControlLink link = Link();
  ItemExchange item(link);
  PassedText passed(link, text);
  if (!item.Ready() || !passed.Ready()) return -1;
  item->mask = kInsertItemMask;
  item->iItem = at;
  item->pszText = passed.Address();
  item->cchTextMax = passed.Capacity();
  item->iImage = image;
  item->state = CheckToState(check);
  item->stateMask = kCheckStateMask;
  item->iIndent = indent;
  item->lParam = AsLParam(param);
  return item.Insert();
}

bool ListViewAccess::DeleteItem(std::int32_t row) { return List().DeleteItem(row); }

bool ListViewAccess::DeleteAllItems() { return List().DeleteAllItems(); }

std::int32_t ListViewAccess::FindItemByText(const std::string& text, std::int32_t start, bool whole, bool wrap) {
  const ControlLink link = Link();
  CarriedRecord<LVFINDINFOA> find(link);
  PassedText passed(link, text);
  if (!find.Ready() || !passed.Ready()) return -1;
  find->flags = (whole ? LVFI_STRING : LVFI_PARTIAL) | (wrap ? LVFI_WRAP : 0);
  find->psz = passed.Address();
  return static_cast<std::int32_t>(find.Send(LVM_FINDITEMA, AsWParam(start)));
}

std::int32_t ListViewAccess::FindItemByParam(std::int32_t start, std::int32_t value, bool wrap) {
  CarriedRecord<LVFINDINFOA> find(Link());
  if (!find.Ready()) return -1;
  find->flags = LVFI_PARAM | (wrap ? LVFI_WRAP : 0);
  find->lParam = AsLParam(value);
  return static_cast<std::int32_t>(find.Send(LVM_FINDITEMA, AsWParam(start)));
}

bool ListViewAccess::EnsureVisible(std::int32_t row) { return Send(LVM_ENSUREVISIBLE, AsWParam(row), 1) != 0; }

bool ListViewAccess::Arrange() { return Send(LVM_ARRANGE, 0, 0) != 0; }

HWND ListViewAccess::EditLabel(std::int32_t row) {
  if (remote_) ::SetActiveWindow(::GetWindow(window_, GW_OWNER));
  ::SetFocus(window_);
  return reinterpret_cast<HWND>(Send(LVM_EDITLABELA, AsWParam(row), 0));
}

std::int32_t ListViewAccess::GetFirstSelected() { return List().NextItem(-1, LVNI_SELECTED); }

bool ListViewAccess::SingleSelect(std::optional<bool> on) {
  LONG style = ::GetWindowLongA(window_, GWL_STYLE);
  if (on) {
    style = *on ? (style | LVS_SINGLESEL) : (style & ~static_cast<LONG>(LVS_SINGLESEL));
    ::SetWindowLongA(window_, GWL_STYLE, style);
    style = ::GetWindowLongA(window_, GWL_STYLE);
  }
  return (style & LVS_SINGLESEL) != 0;
}

void ListViewAccess::SelectOnly(std::int32_t row) {
  if (SingleSelect(true)) SelectItem(row);
}

void ListViewAccess::UseRemote() { remote_ = true; }

void ListViewAccess::UseLocal() { remote_ = false; }

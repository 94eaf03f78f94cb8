#include "launcher/account_launcher.h"

#include <exception>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>

#include "host/code_page.h"
#include "host/files.h"
#include "host/list_control.h"
#include "host/notice.h"
#include "host/process.h"
#include "host/program_end.h"
#include "host/text.h"
#include "host/texts.h"
#include "host/window.h"
#include "launcher/account_storage.h"
#include "launcher/browser_discovery.h"
#include "launcher/command_line.h"
#include "launcher/launch.h"
#include "launcher/program_place.h"

namespace {

constexpr std::int32_t kDefaultPointer = 0;
constexpr std::int32_t kMovePointer = 8;  // IDC_SIZEALL

// Row values and texts of both columns, as one unit of a row move.
struct RowCopy {
  std::string text0;
  std::int32_t image0;
  std::string text1;
  std::int32_t image1;
  std::int32_t value;
};

RowCopy ReadRow(HWND list, std::int32_t row) {
  return RowCopy{ListGetCellText(list, row, 0), ListGetCellImage(list, row, 0), ListGetCellText(list, row, 1),
                 ListGetCellImage(list, row, 1), ListGetRowValue(list, row)};
}

void WriteRow(HWND list, std::int32_t row, const RowCopy& copy) {
  ListSetCellText(list, row, 0, copy.text0);
  ListSetCellImage(list, row, 0, copy.image0);
  ListSetCellText(list, row, 1, copy.text1);
  ListSetCellImage(list, row, 1, copy.image1);
  ListSetRowValue(list, row, copy.value);
}

// Moves row `from` to `to`; the rows between move one place towards `from`.
// Only the rows between are written: no row is inserted, which could fail.
void MoveRow(HWND list, std::int32_t from, std::int32_t to) {
  const ListRedrawPause pause(list);
  const RowCopy moved = ReadRow(list, from);
  const std::int32_t step = from < to ? 1 : -1;
  for (std::int32_t k = from; k != to; k += step) WriteRow(list, k, ReadRow(list, k + step));
  WriteRow(list, to, moved);
}

// Gives each row its place from 1 as its sequence text; false when every row
// had it already.
bool RenumberRows(HWND list) {
  const std::int32_t rows = ListRowCount(list);
  const ListRedrawPause pause(list);
  bool changed = false;
  for (std::int32_t i = 0; i < rows; ++i) {
    const std::string number = ToText(i + 1);
    if (ListGetCellText(list, i, 0) == number) continue;
    ListSetCellText(list, i, 0, number);
    changed = true;
  }
  return changed;
}

// The list's whole content, as undo puts it back; false without memory for it.
bool CopyOfRows(HWND list, Bytes& content) {
  try {
    return ReadOutListContent(list, content);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void AccountLauncher::OnMainWindowCreated() {
  store_.Load();
  openRows_.RowsChanged(controls_.accounts.ControlWindowHandle());
  controls_.browserPath.SetContent(FindBrowserPath());
}

void AccountLauncher::OnMainWindowDestroyed() {
  // A copy under way ends first, and no browser starts after the window.
  launches_.EndAll();
  EndProgram(0);
}

void AccountLauncher::StoreList() {
  if (store_.Store() != ListStore::Stored::kReplaced) return;
  history_.Clear();
  FollowRows(RowMap::Replaced());
}

void AccountLauncher::StopStoring(unsigned reason) { store_.StopStoring(reason); }

bool AccountLauncher::ChangeRows(const RowEdit& edit) {
  const HWND list = controls_.accounts.ControlWindowHandle();
  const std::int32_t rowsBefore = ListRowCount(list);
  Bytes before;
  const bool kept = CopyOfRows(list, before);
  const RowChange change = edit(list);
  switch (change.outcome) {
    case RowChange::Outcome::kRefused:
      // A refused edit has changed nothing but by the rows it inserted: those
      // go again, and nothing is stored.
      if (kept && ListRowCount(list) != rowsBefore && !controls_.accounts.SetContent(before))
        StopStoring(KL_TEXT_LIST_INCOMPLETE);
      FollowRows(RowMap::Kept(rowsBefore));
      TellUserWhenIdle(list, ProgramText(KL_TEXT_ROW_REFUSED));
      return false;
    case RowChange::Outcome::kUnchanged:
      break;
    case RowChange::Outcome::kChanged:
      // Without memory for the copy the change is still made, but no undo
      // may leap over it.
      if (kept)
        history_.Push({std::move(before), change.rows.Reversed(rowsBefore)});
      else
        history_.Clear();
      FollowRows(change.rows);
      break;
  }
  StoreList();
  return true;
}

void AccountLauncher::OnUndo() {
  std::optional<ListStep> step = history_.Pop();
  if (!step) return;
  // A drag under way (Ctrl+Z with the button held) ends: its rows are gone.
  dragTarget_ = 0;
  dragSource_ = -1;
  controls_.accounts.SetMousePointer(kDefaultPointer);
  RowMap back = step->back;
  // A list that cannot show the whole step is never stored over the file.
  if (!controls_.accounts.SetContent(step->content)) {
    history_.Clear();
    back = RowMap::Replaced();
    StopStoring(KL_TEXT_LIST_INCOMPLETE);
  }
  FollowRows(back);
  StoreList();
}

void AccountLauncher::FollowRows(const RowMap& rows) {
  editRow_ = rows.Follow(editRow_);
  // The open marks follow their rows now, not at the next tick.
  const HWND list = controls_.accounts.ControlWindowHandle();
  if (openRows_.RowsChanged(list)) InvalidateRect(list, nullptr, FALSE);
}

void AccountLauncher::OnAddClicked() {
  const std::string account = controls_.accountText.Content();
  // Stored also when nothing was added.
  const bool added = ChangeRows([&](HWND list) {
    if (account.empty()) return RowChange::Unchanged();
    const std::int32_t row = ListInsertRow(list);
    if (row < 0) return RowChange::Refused();
    ListSetCellText(list, row, 0, ToText(row + 1));
    ListSetCellText(list, row, 1, account);
    return RowChange::Changed(RowMap::Kept(ListRowCount(list)));
  });
  // A refused row leaves the text in the box.
  if (added) controls_.accountText.SetContent({});
}

void AccountLauncher::OnDeleteClicked() {
  const std::int32_t selected = controls_.accounts.SelectedRow();
  if (selected == -1) return;
  // The account's profile folder stays.
  ChangeRows([&](HWND list) {
    ListDeleteRow(list, selected);
    RenumberRows(list);
    return RowChange::Changed(RowMap::Removed(selected));
  });
}

void AccountLauncher::OnModifyClicked() {
  if (controls_.accounts.SelectedRow() == -1) return;
  const std::string account = controls_.accountText.Content();
  // The row last clicked changes, not necessarily the selected one; a row that
  // is gone changes nothing.
  ChangeRows([&](HWND list) {
    const std::int32_t rows = ListRowCount(list);
    if (editRow_ < 0 || editRow_ >= rows || ListGetCellText(list, editRow_, 1) == account)
      return RowChange::Unchanged();
    ListSetCellText(list, editRow_, 1, account);
    return RowChange::Changed(RowMap::Kept(rows));
  });
}

void AccountLauncher::OnRenumberClicked() {
  ChangeRows([](HWND list) {
    return RenumberRows(list) ? RowChange::Changed(RowMap::Kept(ListRowCount(list))) : RowChange::Unchanged();
  });
}

void AccountLauncher::OnClearTempFilesClicked() { RemoveIdleProfiles(paths_.profileRoot, paths_.programFolder); }

void AccountLauncher::RemoveIdleProfiles(const std::string& folder, const std::string& container) {
  // Profiles that a browser runs on, or that a launch is making ready, stay
  // whole; everything else in the folder goes.
  std::unordered_set<std::string> running;
  for (const std::string& title : ListProfileMarkers()) running.insert(UpperCaseAnsi(title));
  const auto hold = launches_.HoldProfileRoot();
  RemoveFolderTree(folder, container, [&](const std::string& profile) {
    return running.count(UpperCaseAnsi(profile)) > 0 || launches_.IsUnderWay(profile);
  });
}

void AccountLauncher::OnListClicked() {
  const std::int32_t selected = controls_.accounts.SelectedRow();
  if (selected == -1) return;
  controls_.accountText.SetContent(ListGetCellText(controls_.accounts.ControlWindowHandle(), selected, 1));
  editRow_ = controls_.accounts.SelectedRow();
  ActivateAccountWindow();
}

void AccountLauncher::ActivateAccountWindow() {
  const std::string account =
      ListGetCellText(controls_.accounts.ControlWindowHandle(), controls_.accounts.SelectedRow(), 1);
  // An empty text would match the first top-level window of all.
  if (account.empty()) return;
  // The browser titles its windows after the page, so the account's window
  // is found through the marker of its profile: the front window of the
  // process that keeps it.
  if (IsValidProfileName(account, IsAnsiLeadByte)) {
    if (const HWND marker = FindProfileMarker(paths_.ProfileFolderOf(account))) {
      RestoreAndBringToFront(FrontWindowOfSameProcess(marker));
      return;
    }
  }
  BringWindowToFront(FindTopLevelWindow(account));
}

void AccountLauncher::OnListDoubleClicked(std::int32_t, std::int32_t, std::int32_t) {
  const std::int32_t selected = controls_.accounts.SelectedRow();
  if (selected == -1) return;
  const std::string account = ListGetCellText(controls_.accounts.ControlWindowHandle(), selected, 1);
  const std::string browser = controls_.browserPath.Content();
  if (!HasTemplateProfile(paths_)) {
    TellUserWhenIdle(controls_.accounts.ControlWindowHandle(), ProgramText(KL_TEXT_TEMPLATE_MISSING));
    return;
  }
  // A text that names no browser program is never run; the profile is made
  // ready all the same, as for a browser that fails to start.
  if (!BrowserProgramOf(browser))
    TellUserWhenIdle(controls_.accounts.ControlWindowHandle(),
                     ProgramText(KL_TEXT_BROWSER_NOT_FOUND, {WidenAnsi(browser)}));
  // Ignored while the account's launch is under way.
  launches_.Start(browser, account);
}

void AccountLauncher::OnOpenRowsTick() {
  if (openRows_.Refresh()) InvalidateRect(controls_.accounts.ControlWindowHandle(), nullptr, FALSE);
}

void AccountLauncher::OnListButtonDown(std::int32_t, std::int32_t, std::int32_t) {
  // A press always re-arms, whatever the state.
  dragTarget_ = -1;
  dragSource_ = -1;
}

void AccountLauncher::OnListPointerMoved(std::int32_t x, std::int32_t y, std::int32_t) {
  if (dragTarget_ == 0) return;
  if (!IsLeftButtonDown()) {
    // The button came up where the list did not see it: the drag is off.
    dragTarget_ = 0;
    dragSource_ = -1;
    controls_.accounts.SetMousePointer(kDefaultPointer);
    return;
  }
  if (dragTarget_ == -1) {
    dragSource_ = controls_.accounts.SelectedRow();
    controls_.accounts.SetMousePointer(kMovePointer);
  }
  const std::int32_t hit = ListHitTestRow(controls_.accounts.ControlWindowHandle(), x, y);
  if (hit != -1) dragTarget_ = hit + 1;
  // Over no row this clears the selection; the target keeps the last row hit.
  controls_.accounts.SetSelectedRow(hit);
}

void AccountLauncher::OnListButtonUp(std::int32_t, std::int32_t, std::int32_t) {
  if (dragTarget_ < 1 || dragSource_ == -1) return;
  const std::int32_t from = dragSource_;
  const std::int32_t to = dragTarget_ - 1;
  dragTarget_ = 0;
  dragSource_ = -1;
  controls_.accounts.SetMousePointer(kDefaultPointer);
  // A drop on the dragged row itself moves nothing, and is stored all the same.
  ChangeRows([&](HWND list) {
    if (from == to) return RowChange::Unchanged();
    MoveRow(list, from, to);
    controls_.accounts.SetSelectedRow(to);
    return RowChange::Changed(RowMap::Moved(from, to));
  });
}

bool AccountLauncher::OnListKeyPressed(std::int32_t key, std::int32_t keys) {
  constexpr std::int32_t kCtrl = 1;
  constexpr std::int32_t kShift = 2;
  if (keys == kCtrl && key == 'Z') {
    OnUndo();
  } else if (keys == kCtrl && key == 'C') {
    CopySelectedAccount();
  } else if (keys == (kCtrl | kShift) && key == 'C') {
    CopyAllAccounts();
  } else if (keys == kCtrl && key == 'V') {
    PasteAccounts();
  } else if (keys == 0 && key == VK_DELETE) {
    OnDeleteClicked();
  } else {
    return false;
  }
  return true;
}

bool AccountLauncher::OnListCharTyped(std::int32_t character) {
  // Control characters (Ctrl+C gives 3, Backspace 8) are no typed text.
  if (character < 0x20 || character == 0x7F) return false;
  const auto unit = static_cast<wchar_t>(character);
  std::wstring typed;
  if (unit >= 0xD800 && unit <= 0xDBFF) {  // the rest comes in the next message
    pendingHighSurrogate_ = unit;
    return true;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF && pendingHighSurrogate_ != 0) typed.push_back(pendingHighSurrogate_);
  pendingHighSurrogate_ = 0;
  typed.push_back(unit);
  std::string bytes;
  const bool spelled = NarrowToAnsi(typed, bytes);

  // Like a keyboard move: neither the row last clicked nor the account box
  // changes.
  const HWND list = controls_.accounts.ControlWindowHandle();
  const std::int32_t from = typed_.Type(bytes, spelled, GetTickCount(), controls_.accounts.SelectedRow());
  if (!typed_.Spelled()) return true;
  const std::int32_t found = FindRowContaining(
      ListRowCount(list), from, typed_.Typed(), [&](std::int32_t row) { return ListGetCellText(list, row, 1); },
      IsAnsiLeadByte);
  if (found < 0) return true;
  typed_.Found(found);
  controls_.accounts.SetSelectedRow(found);
  ListEnsureVisible(list, found);
  return true;
}

#include "launcher/account_launcher.h"

#include <string>
#include <unordered_set>

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

}  // namespace

void AccountLauncher::OnMainWindowCreated() {
  // A list that is not on screen whole is never stored over the file.
  storing_ = LoadAccountList(controls_.accounts, paths_.configFile);
  if (!storing_) TellUserWhenIdle(controls_.accounts.ControlWindowHandle(), ProgramText(KL_TEXT_LIST_UNREADABLE));
  EnableDebugPrivilege();
  controls_.browserPath.SetContent(FindBrowserPath());
}

void AccountLauncher::OnMainWindowDestroyed() {
  // A copy under way ends first, and no browser starts after the window.
  launches_.EndAll();
  EndProgram(0);
}

void AccountLauncher::StoreList() {
  if (storing_ && !SaveAccountList(controls_.accounts, paths_.configFile)) StopStoring(KL_TEXT_LIST_INCOMPLETE);
  // Rows may have moved: their open marks follow them now, not at the next tick.
  OnOpenRowsTick();
}

void AccountLauncher::StopStoring(unsigned reason) {
  if (!storing_) return;
  storing_ = false;
  TellUserWhenIdle(controls_.accounts.ControlWindowHandle(), ProgramText(reason));
}

void AccountLauncher::RenumberRows() {
  const HWND list = controls_.accounts.ControlWindowHandle();
  const std::int32_t rows = ListRowCount(list);
  const ListRedrawPause pause(list);
  for (std::int32_t i = 0; i < rows; ++i) ListSetCellText(list, i, 0, ToText(i + 1));
}

void AccountLauncher::OnAddClicked() {
  const HWND list = controls_.accounts.ControlWindowHandle();
  if (!controls_.accountText.Content().empty()) {
    ListInsertRow(list);
    const std::int32_t rows = ListRowCount(list);
    ListSetCellText(list, rows - 1, 0, ToText(rows));
    ListSetCellText(list, rows - 1, 1, controls_.accountText.Content());
    controls_.accountText.SetContent({});
  }
  // Stored also when nothing was added.
  StoreList();
}

void AccountLauncher::OnDeleteClicked() {
  const std::int32_t selected = controls_.accounts.SelectedRow();
  if (selected == -1) return;
  // The account's profile folder stays.
  ListDeleteRow(controls_.accounts.ControlWindowHandle(), selected);
  RenumberRows();
  StoreList();
}

void AccountLauncher::OnModifyClicked() {
  if (controls_.accounts.SelectedRow() == -1) return;
  // The row last clicked changes, not necessarily the selected one; a row that
  // no longer exists changes nothing.
  ListSetCellText(controls_.accounts.ControlWindowHandle(), editRow_, 1, controls_.accountText.Content());
  StoreList();
}

void AccountLauncher::OnRenumberClicked() {
  RenumberRows();
  StoreList();
}

void AccountLauncher::OnClearTempFilesClicked() {
  // Profiles that a browser runs on, or that a launch is making ready, stay
  // whole; everything else under the profile root goes.
  std::unordered_set<std::string> running;
  for (const std::string& title : ListProfileMarkers()) running.insert(UpperCaseAnsi(title));
  const auto hold = launches_.HoldProfileRoot();
  RemoveFolderTree(paths_.profileRoot, paths_.programFolder, [&](const std::string& folder) {
    return running.count(UpperCaseAnsi(folder)) > 0 || launches_.IsUnderWay(folder);
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
  // Ignored while the account's launch is under way.
  launches_.Start(browser, account);
}

void AccountLauncher::OnOpenRowsTick() {
  const HWND list = controls_.accounts.ControlWindowHandle();
  if (openRows_.Refresh(list)) InvalidateRect(list, nullptr, FALSE);
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
  if (dragTarget_ > dragSource_) {
    MoveDraggedRow(true);
    controls_.accounts.SetSelectedRow(dragTarget_ - 1);
  } else {
    MoveDraggedRow(false);
  }
  dragTarget_ = 0;
  dragSource_ = -1;
  controls_.accounts.SetMousePointer(kDefaultPointer);
  StoreList();
}

void AccountLauncher::MoveDraggedRow(bool down) {
  const HWND list = controls_.accounts.ControlWindowHandle();
  const ListRedrawPause pause(list);
  const RowCopy dragged = ReadRow(list, dragSource_);
  if (!down) {
    ListDeleteRow(list, dragSource_);
    --dragTarget_;
  }
  ListInsertRow(list);
  // The rows from the drop row on move one place down to make room.
  for (std::int32_t k = ListRowCount(list) - 1; k > dragTarget_; --k) WriteRow(list, k, ReadRow(list, k - 1));
  WriteRow(list, dragTarget_, dragged);
  if (down) ListDeleteRow(list, dragSource_);
}

// The list's menu and the clipboard: copying accounts out, pasting them in,
// and the items that act on one account's profile.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "host/clipboard.h"
#include "host/code_page.h"
#include "host/files.h"
#include "host/folder_window.h"
#include "host/list_control.h"
#include "host/notice.h"
#include "host/popup_menu.h"
#include "host/text.h"
#include "host/texts.h"
#include "host/window.h"
#include "launcher/account_launcher.h"
#include "launcher/command_line.h"
#include "launcher/pasted_lines.h"

namespace {

// The profile folder of the row's account; none when the account cannot name
// a folder inside the profile root.
std::optional<std::string> ProfileFolderOfRow(HWND list, std::int32_t row, const ProgramPaths& paths) {
  if (row < 0) return std::nullopt;
  const std::string account = ListGetCellText(list, row, 1);
  if (!IsValidProfileName(account, IsAnsiLeadByte)) return std::nullopt;
  return paths.ProfileFolderOf(account);
}

}  // namespace

void AccountLauncher::OnListRightClicked(std::int32_t x, std::int32_t y, std::int32_t) {
  const HWND list = controls_.accounts.ControlWindowHandle();
  const std::int32_t row = ListHitTestRow(list, x, y);
  // The list selects the row itself; made sure of, since the menu acts on the
  // selected row. The account box and the row last clicked stay.
  if (row >= 0 && controls_.accounts.SelectedRow() != row) controls_.accounts.SetSelectedRow(row);
  ShowListMenu(ClientPointOnScreen(list, {x, y}), row);
}

void AccountLauncher::OnListMenuKey() {
  const HWND list = controls_.accounts.ControlWindowHandle();
  const std::int32_t row = controls_.accounts.SelectedRow();
  // Below the selected row's account cell, or at the top of the list without one.
  POINT at = {8, 8};
  if (row >= 0) {
    const RECT bounds = ListRowRect(list, row);
    at = {bounds.left + 24, bounds.bottom};
  }
  ShowListMenu(ClientPointOnScreen(list, at), row);
}

void AccountLauncher::ShowListMenu(POINT screen, std::int32_t row) {
  const HWND list = controls_.accounts.ControlWindowHandle();
  const bool onRow = row >= 0;
  const std::optional<std::string> profile = ProfileFolderOfRow(list, row, paths_);
  // The items' texts are their commands too.
  const std::array<std::pair<unsigned, bool>, 10> items = {{
      {KL_TEXT_MENU_OPEN, onRow},
      {KL_TEXT_MENU_TO_WINDOW, onRow},
      {KL_TEXT_MENU_COPY, onRow},
      {KL_TEXT_MENU_PROFILE_FOLDER, profile && IsExistingFolder(*profile)},
      {KL_TEXT_MENU_CLEAR_PROFILE, profile.has_value()},
      {KL_TEXT_MENU_DELETE, onRow},
      {0, true},
      {KL_TEXT_MENU_PASTE, ClipboardHasText()},
      {KL_TEXT_MENU_COPY_ALL, ListRowCount(list) > 0},
      {KL_TEXT_MENU_UNDO, history_.Steps() > 0},
  }};
  std::vector<PopupItem> menu;
  for (const auto& [text, enabled] : items) menu.push_back({text, text ? ProgramText(text) : std::wstring(), enabled});

  switch (ChooseFromPopupMenu(list, screen, menu)) {
    case KL_TEXT_MENU_OPEN:
      OnListDoubleClicked(0, 0, 0);
      break;
    case KL_TEXT_MENU_TO_WINDOW:
      // As a click brings it forward, but the account box and the row last
      // clicked stay: the menu only acts on the selected row.
      ActivateAccountWindow();
      break;
    case KL_TEXT_MENU_COPY:
      CopySelectedAccount();
      break;
    case KL_TEXT_MENU_PROFILE_FOLDER:
      OpenSelectedProfileFolder();
      break;
    case KL_TEXT_MENU_CLEAR_PROFILE:
      ClearSelectedProfile();
      break;
    case KL_TEXT_MENU_DELETE:
      OnDeleteClicked();
      break;
    case KL_TEXT_MENU_PASTE:
      PasteAccounts();
      break;
    case KL_TEXT_MENU_COPY_ALL:
      CopyAllAccounts();
      break;
    case KL_TEXT_MENU_UNDO:
      OnUndo();
      break;
  }
}

void AccountLauncher::CopySelectedAccount() {
  const std::int32_t row = controls_.accounts.SelectedRow();
  if (row < 0) return;
  const HWND list = controls_.accounts.ControlWindowHandle();
  SetClipboardText(list, WidenAnsi(ListGetCellText(list, row, 1)));
}

void AccountLauncher::CopyAllAccounts() {
  const HWND list = controls_.accounts.ControlWindowHandle();
  const std::int32_t rows = ListRowCount(list);
  // An empty list leaves the clipboard as it is.
  if (rows <= 0) return;
  std::vector<std::wstring> accounts;
  accounts.reserve(static_cast<std::size_t>(rows));
  for (std::int32_t row = 0; row < rows; ++row) accounts.push_back(WidenAnsi(ListGetCellText(list, row, 1)));
  SetClipboardText(list, AccountLines(accounts));
}

void AccountLauncher::PasteAccounts() {
  const HWND list = controls_.accounts.ControlWindowHandle();
  const std::optional<std::wstring> text = ClipboardText(list);
  if (!text) return;
  std::vector<std::string> accounts;
  std::int32_t skipped = 0;
  for (const std::wstring& line : PastedAccounts(*text)) {
    std::string account;
    if (NarrowToAnsi(line, account))
      accounts.push_back(std::move(account));
    else
      ++skipped;
  }
  // All the rows in one change: one save, one step of undo.
  if (!accounts.empty()) {
    ChangeRows([&](HWND rows) {
      const ListRedrawPause pause(rows);
      for (const std::string& account : accounts) {
        const std::int32_t row = ListInsertRow(rows, std::nullopt, ToText(ListRowCount(rows) + 1));
        if (row < 0) return RowChange::Refused();
        ListSetCellText(rows, row, 1, account);
      }
      return RowChange::Changed(RowMap::Kept(ListRowCount(rows)));
    });
  }
  if (skipped > 0) TellUserWhenIdle(list, ProgramText(KL_TEXT_PASTE_SKIPPED, {WidenAnsi(ToText(skipped))}));
}

void AccountLauncher::OpenSelectedProfileFolder() {
  const std::optional<std::string> profile =
      ProfileFolderOfRow(controls_.accounts.ControlWindowHandle(), controls_.accounts.SelectedRow(), paths_);
  if (profile && IsExistingFolder(*profile)) ShowFolderInExplorer(*profile);
}

void AccountLauncher::ClearSelectedProfile() {
  const HWND list = controls_.accounts.ControlWindowHandle();
  const std::int32_t row = controls_.accounts.SelectedRow();
  const std::optional<std::string> profile = ProfileFolderOfRow(list, row, paths_);
  // A link at the profile root or on the way down would lead the removal into
  // a folder that is not this account's own.
  if (!profile || HasLinkBelow(paths_.profileRoot, ListGetCellText(list, row, 1))) return;
  // Launches start on this thread only: none can begin between this look and
  // the removal.
  if (FindProfileMarker(*profile) || launches_.IsUnderWay(*profile)) {
    TellUserWhenIdle(list, ProgramText(KL_TEXT_PROFILE_IN_USE, {WidenAnsi(ListGetCellText(list, row, 1))}));
    return;
  }
  // An account nested below this one may have its browser running: it stays.
  RemoveIdleProfiles(*profile, paths_.profileRoot);
}

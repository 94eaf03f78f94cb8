#pragma once
// The handlers of the main window: one object per window, holding the little
// state the handlers share (the row last clicked and the drag state).

#include <cstdint>
#include <functional>

#include "launcher/account_launches.h"
#include "launcher/list_history.h"
#include "launcher/list_store.h"
#include "launcher/open_rows.h"
#include "launcher/program_paths.h"
#include "launcher/row_map.h"
#include "launcher/typed_search.h"
#include "ui/controls.h"

// What an edit of the rows did: changed them (and how the rows moved), left
// them as they were, or was refused by the list (no memory) part way.
struct RowChange {
  enum class Outcome { kChanged, kUnchanged, kRefused };
  Outcome outcome;
  RowMap rows;  // where the rows before the edit are now; for kChanged

  static RowChange Changed(RowMap rows) { return {Outcome::kChanged, rows}; }
  static RowChange Unchanged() { return {Outcome::kUnchanged, RowMap::Kept(0)}; }
  static RowChange Refused() { return {Outcome::kRefused, RowMap::Kept(0)}; }
};
using RowEdit = std::function<RowChange(HWND list)>;

struct LauncherControls {
  ReportList accounts;  // 超级列表框1
  EditBox accountText;  // 编辑框1
  EditBox browserPath;  // 编辑框2
};

class AccountLauncher {
 public:
  AccountLauncher(const LauncherControls& controls, const ProgramPaths& paths)
      : controls_(controls),
        paths_(paths),
        launches_(paths),
        openRows_(paths.profileRoot),
        store_(controls.accounts, paths) {}

  void OnMainWindowCreated();
  void OnMainWindowDestroyed();

  void OnAddClicked();
  void OnDeleteClicked();
  void OnModifyClicked();
  void OnRenumberClicked();
  void OnClearTempFilesClicked();

  void OnListClicked();
  void OnListDoubleClicked(std::int32_t x, std::int32_t y, std::int32_t keys);
  void OnListButtonDown(std::int32_t x, std::int32_t y, std::int32_t keys);
  void OnListPointerMoved(std::int32_t x, std::int32_t y, std::int32_t keys);
  void OnListButtonUp(std::int32_t x, std::int32_t y, std::int32_t keys);
  // Keys pressed in the list: true when the key was used up.
  bool OnListKeyPressed(std::int32_t key, std::int32_t keys);
  // A right-click on the list (x, y in its client coordinates), after the
  // list selected the row under the pointer: the list's menu at the pointer,
  // its row items for that row, disabled below the rows.
  void OnListRightClicked(std::int32_t x, std::int32_t y, std::int32_t keys);
  // The menu key or Shift+F10 in the list: the same menu at the selected row.
  void OnListMenuKey();
  // A character typed in the list (UTF-16): finds the next row whose account
  // contains what was typed since the last pause. True when it was used up.
  bool OnListCharTyped(std::int32_t character);

  // Every change of the rows goes through here: the list's whole content
  // before it is kept for undo, the rows that point at rows follow them, and
  // the list is stored once (also when the edit changed nothing). An edit that
  // the list refused puts the rows back as they were, stores nothing and
  // tells the user. False when the edit was refused.
  bool ChangeRows(const RowEdit& edit);
  // Puts the list back as it was before the last change of this run and
  // stores it; nothing to undo: nothing happens.
  void OnUndo();

  // Called about twice a second: rows whose account's browser started or
  // ended since are drawn again.
  void OnOpenRowsTick();
  // True when the row's account has a browser running on its profile.
  bool IsRowOpen(std::int32_t row) const { return openRows_.IsOpen(row); }

 private:
  // Saves the list, unless saving was stopped for this run; when the user
  // chose to load a file that another program put in place instead, nothing
  // points at the old rows any more.
  void StoreList();
  // Stops saving for this run and tells the user why (a text number), once.
  void StopStoring(unsigned reason);
  // The rows were replaced from elsewhere (the file): nothing follows them.
  void ListReplaced();
  // What points at rows follows them through a change.
  void FollowRows(const RowMap& rows);
  void ActivateAccountWindow();
  // Removes the folder's tree inside `container`, but for the profiles that a
  // browser runs on or that a launch is making ready.
  void RemoveIdleProfiles(const std::string& folder, const std::string& container);

  // The list's menu at `screen`, acting on `row` (-1: the row items are
  // disabled), and the actions of its items that the buttons lack.
  void ShowListMenu(POINT screen, std::int32_t row);
  void CopySelectedAccount();
  void CopyAllAccounts();
  void PasteAccounts();
  void OpenSelectedProfileFolder();
  void ClearSelectedProfile();

  LauncherControls controls_;
  const ProgramPaths paths_;
  std::int32_t editRow_ = 0;      // EditRow: the row last clicked, -1 gone
  std::int32_t dragTarget_ = 0;   // 0 idle, -1 armed, n >= 1 over row n - 1
  std::int32_t dragSource_ = -1;  // the dragged row, -1 none
  AccountLaunches launches_;
  OpenRows openRows_;
  ListHistory history_;
  TypedSearch typed_;
  wchar_t pendingHighSurrogate_ = 0;  // the first half of a character typed in two
  ListStore store_;
};

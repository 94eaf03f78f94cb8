#pragma once
// The handlers of the main window: one object per window, holding the little
// state the handlers share (the row last clicked and the drag state).

#include <cstdint>

#include "launcher/account_launches.h"
#include "launcher/open_rows.h"
#include "launcher/program_paths.h"
#include "ui/controls.h"

struct LauncherControls {
  ReportList accounts;  // 超级列表框1
  EditBox accountText;  // 编辑框1
  EditBox browserPath;  // 编辑框2
};

class AccountLauncher {
 public:
  AccountLauncher(const LauncherControls& controls, const ProgramPaths& paths)
      : controls_(controls), paths_(paths), launches_(paths), openRows_(paths.profileRoot) {}

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

  // Called about twice a second: rows whose account's browser started or
  // ended since are drawn again.
  void OnOpenRowsTick();
  // True when the row's account has a browser running on its profile.
  bool IsRowOpen(std::int32_t row) const { return openRows_.IsOpen(row); }

 private:
  // Saves the list, unless saving was stopped for this run.
  void StoreList();
  // Stops saving for this run and tells the user why (a text number), once.
  void StopStoring(unsigned reason);
  void RenumberRows();
  void MoveDraggedRow(bool down);
  void ActivateAccountWindow();

  LauncherControls controls_;
  const ProgramPaths paths_;
  std::int32_t editRow_ = 0;      // EditRow: the row last clicked
  std::int32_t dragTarget_ = 0;   // 0 idle, -1 armed, n >= 1 over row n - 1
  std::int32_t dragSource_ = -1;  // the dragged row, -1 none
  AccountLaunches launches_;
  OpenRows openRows_;
  // False once the list on screen may lack stored accounts (config.ini could
  // not be read): storing it then would lose them.
  bool storing_ = true;
};

// SaveAccountList on a list of this process: how each save ends, and what
// the file holds afterwards, whole.

#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "host/handles.h"
#include "launcher/account_storage.h"
#include "end_to_end.h"
#include "report_list.h"
#include "stored_list.h"
#include "win_test_support.h"

using launcher_test::Rows;

namespace {

enum class Setup {
  kNoFile,
  kLoaded,               // the file as this run loaded it
  kReplacedAfterLoad,    // another program wrote other rows since
  kReadOnly,             // loaded, then made read-only
  kHeld,                 // loaded, then held open without sharing
  kFolderMissing,        // the program folder is gone
  kLoadedAndOverTheCap,  // loaded, and the rows on screen come to more than 16 MiB
};

struct SaveCase {
  const char* name;
  Setup setup;
  SaveCheck check;
  SaveOutcome outcome;
};

// One list window for all the cases.
HWND SharedList() {
  static test::ReportListWindow window(
      test::ReportListWindow::Options{LVS_SINGLESEL, test::kAccountColumns, true, {8, 16, 229, 360}, "kl saving test"});
  return window.list();
}

void SetRows(HWND list, const Rows& rows) {
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  for (const auto& [number, account] : rows) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iImage = -1;  // as the program's rows: no image
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(number.c_str());
    const int index = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    item.mask = LVIF_TEXT;
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(account.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

class SaveOutcomes : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveOutcomes, SayHowTheSaveEndedAndStoreWhollyOrNothing) {
  const SaveCase& c = GetParam();
  test::TempFolder folder;
  const std::string config = c.setup == Setup::kFolderMissing ? folder / "gone\\config.ini" : folder / "config.ini";
  const HWND list = SharedList();
  const Rows onScreen = {{"1", "a"}, {"2", "b"}};
  StoredVersion version;
  if (c.setup != Setup::kNoFile && c.setup != Setup::kFolderMissing) {
    ASSERT_TRUE(launcher_test::WriteStored(config, launcher_test::WorkedExampleContent()));
    ASSERT_TRUE(LoadAccountList(ReportList(list), config, version));
  }
  UniqueFile held;
  std::string before;  // what the file holds when the save starts
  switch (c.setup) {
    case Setup::kReplacedAfterLoad:
      Sleep(20);  // a later time, as another program's write has
      ASSERT_TRUE(test::WriteWholeFile(config, "other bytes"));
      before = "other bytes";
      break;
    case Setup::kReadOnly:
      before = test::ReadWholeFile(config);
      ASSERT_TRUE(SetFileAttributesA(config.c_str(), FILE_ATTRIBUTE_READONLY));
      break;
    case Setup::kHeld:
      before = test::ReadWholeFile(config);
      held.reset(CreateFileA(config.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(held);
      break;
    default:
      before = test::ReadWholeFile(config);
      break;
  }
  Rows rows = onScreen;
  if (c.setup == Setup::kLoadedAndOverTheCap) {
    // 259 bytes a cell, stored whole: some 300 bytes a row.
    rows.clear();
    const std::string account(259, 'x');
    for (int i = 1; rows.size() * 300 <= kStoredListLimit; ++i) rows.push_back({std::to_string(i), account});
  }
  SetRows(list, rows);

  EXPECT_EQ(SaveAccountList(ReportList(list), config, folder / "backup", version, c.check), c.outcome);
  held.reset();
  SetFileAttributesA(config.c_str(), FILE_ATTRIBUTE_NORMAL);

  if (c.outcome == SaveOutcome::kStored) {
    EXPECT_EQ(launcher_test::StoredPlain(config), launcher_test::ContentOf(rows));
    // What was stored is now this run's file: the next save takes it as such.
    EXPECT_EQ(SaveAccountList(ReportList(list), config, folder / "backup", version, SaveCheck::kUnchangedOnly),
              SaveOutcome::kStored);
  } else {
    EXPECT_EQ(test::ReadWholeFile(config), before) << "the file was touched";
  }
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(rows.size()));
  SetRows(list, {});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveOutcomes,
    ::testing::Values(
        SaveCase{"AFirstSave", Setup::kNoFile, SaveCheck::kUnchangedOnly, SaveOutcome::kStored},
        SaveCase{"OverTheLoadedFile", Setup::kLoaded, SaveCheck::kUnchangedOnly, SaveOutcome::kStored},
        SaveCase{"OverAFileChangedElsewhere", Setup::kReplacedAfterLoad, SaveCheck::kUnchangedOnly,
                 SaveOutcome::kChangedElsewhere},
        SaveCase{"OverwritingAFileChangedElsewhere", Setup::kReplacedAfterLoad, SaveCheck::kOverwrite,
                 SaveOutcome::kStored},
        SaveCase{"ReadOnly", Setup::kReadOnly, SaveCheck::kUnchangedOnly, SaveOutcome::kReadOnly},
        SaveCase{"HeldWithoutSharing", Setup::kHeld, SaveCheck::kUnchangedOnly, SaveOutcome::kHeld},
        SaveCase{"OverwritingAHeldFile", Setup::kHeld, SaveCheck::kOverwrite, SaveOutcome::kHeld},
        SaveCase{"FolderGone", Setup::kFolderMissing, SaveCheck::kUnchangedOnly, SaveOutcome::kFolderRefused},
        SaveCase{"OverTheCap", Setup::kLoadedAndOverTheCap, SaveCheck::kUnchangedOnly, SaveOutcome::kTooLarge}),
    [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

}  // namespace

// KestrunLauncher.exe when storing goes wrong or the file changes under it:
// failed saves are told and tried again, a config.ini that another program
// replaced is not stored over without asking, a save cut off on a FAT drive
// is recovered at the next start, and every save keeps the file it replaced
// in backup\.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "end_to_end.h"
#include "host/handles.h"
#include "host/texts.h"
#include "input.h"
#include "launcher/backup_names.h"
#include "launcher_window.h"
#include "stored_list.h"
#include "win_test_support.h"

using namespace launcher_test;
using namespace std::chrono_literals;

namespace {

std::string Shown(unsigned id) { return test::Narrow(ProgramText(id)); }

std::string SaveFailedText(unsigned reason) {
  return test::Narrow(ProgramText(KL_TEXT_SAVE_FAILED, {ProgramText(reason)}));
}

// Adds an account through the window and waits until the add was handled
// (the box is emptied once the list has taken the row).
void Add(RunningLauncher& launcher, const std::string& account) {
  launcher.SetAccountText(account);
  launcher.ClickAdd();
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText().empty(); }))
      << "the add was not handled; a box on screen: \"" << launcher.TakeNotice(0ms) << "\"";
}

std::vector<std::string> TemporaryFiles(const ProgramFolder& folder) {
  std::vector<std::string> found;
  for (const std::string& name : folder.Entries())
    if (name.rfind("~kl", 0) == 0) found.push_back(name);
  return found;
}

bool SetLastWriteTime(const std::string& path, const FILETIME& time) {
  UniqueFile file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  return file && SetFileTime(file.get(), nullptr, nullptr, &time);
}

bool LastWriteTime(const std::string& path, FILETIME& time) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  time = data.ftLastWriteTime;
  return true;
}

// ---- saves that fail ----------------------------------------------------------

enum class Failure { kHeldWithoutSharing, kReadOnly };

struct FailureCase {
  const char* name;
  Failure failure;
  unsigned reason;  // the words the notice gives for it
};

class FailingSave : public EndToEnd, public ::testing::WithParamInterface<FailureCase> {
 protected:
  void Break() {
    switch (GetParam().failure) {
      case Failure::kHeldWithoutSharing:
        held_.reset(CreateFileA(folder_.ConfigPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held_);
        break;
      case Failure::kReadOnly:
        ASSERT_TRUE(SetFileAttributesA(folder_.ConfigPath().c_str(), FILE_ATTRIBUTE_READONLY));
        break;
    }
  }
  void Mend() {
    held_.reset();
    ASSERT_TRUE(SetFileAttributesA(folder_.ConfigPath().c_str(), FILE_ATTRIBUTE_NORMAL));
  }
  void TearDown() override {
    held_.reset();
    SetFileAttributesA(folder_.ConfigPath().c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  UniqueFile held_;
};

TEST_P(FailingSave, IsToldOnceTriedAtEveryEditAndALaterSaveStoresEverything) {
  StoreRows({{"1", "a"}});
  RunningLauncher launcher;
  Start(launcher);
  const std::string stored = test::ReadWholeFile(folder_.ConfigPath());
  const std::string told = SaveFailedText(GetParam().reason);

  Break();
  Add(launcher, "b");
  EXPECT_EQ(launcher.TakeNotice(), told);
  EXPECT_EQ(launcher.ScreenRows(), (Rows{{"1", "a"}, {"2", "b"}}));
  Add(launcher, "c");
  EXPECT_EQ(launcher.TakeNotice(1500ms), "") << "told twice in one run of failures";
  EXPECT_EQ(launcher.ScreenRows(), (Rows{{"1", "a"}, {"2", "b"}, {"3", "c"}}));
  EXPECT_EQ(TemporaryFiles(folder_), std::vector<std::string>{});

  // The next edit stores everything on screen, the edits of the failures too.
  Mend();
  EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()), stored);
  Add(launcher, "d");
  ExpectRows(launcher, {{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}});
  EXPECT_EQ(launcher.TakeNotice(500ms), "");

  // A failure after a save that worked is told again.
  const std::string storedAgain = test::ReadWholeFile(folder_.ConfigPath());
  Break();
  Add(launcher, "e");
  EXPECT_EQ(launcher.TakeNotice(), told);
  Mend();
  EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()), storedAgain);
  launcher.ClickRenumber();
  ExpectRows(launcher, {{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}, {"5", "e"}});
  EXPECT_EQ(launcher.TakeNotice(500ms), "");
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailingSave,
    ::testing::Values(FailureCase{"HeldWithoutSharing", Failure::kHeldWithoutSharing, KL_TEXT_WHY_HELD},
                      FailureCase{"ReadOnly", Failure::kReadOnly, KL_TEXT_WHY_READ_ONLY}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// ---- config.ini changed by another program ------------------------------------

enum class Change {
  kOtherRows,        // another list, another size
  kSameSizeAndTime,  // other bytes of the same length, the old time put back
  kRemoved,
  kTooLarge,  // larger than any list the program reads
};

struct ChangeCase {
  const char* name;
  Change change;
  std::optional<Answer> answer;  // none: no question is asked
  Rows screen;                   // the rows on screen, and stored, after the edit
  bool storedAsWritten;          // the file still holds the other program's bytes
  std::optional<Rows> undone;    // after Ctrl+Z; none: storing has stopped
};

class ChangedFile : public EndToEnd, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangedFile, IsNeverOverwrittenWithoutAsking) {
  const ChangeCase& c = GetParam();
  StoreRows({{"1", "a"}});
  RunningLauncher launcher;
  Start(launcher);
  FILETIME loaded = {};
  ASSERT_TRUE(LastWriteTime(folder_.ConfigPath(), loaded));

  switch (c.change) {
    case Change::kOtherRows:
      StoreRows({{"7", "x"}, {"8", "y"}});
      break;
    case Change::kSameSizeAndTime:
      StoreRows({{"1", "q"}});
      ASSERT_TRUE(SetLastWriteTime(folder_.ConfigPath(), loaded));
      break;
    case Change::kRemoved:
      ASSERT_TRUE(DeleteFileA(folder_.ConfigPath().c_str()));
      break;
    case Change::kTooLarge: {
      UniqueFile file(CreateFileA(folder_.ConfigPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
      LARGE_INTEGER end;
      end.QuadPart = (16 << 20) + 1;
      ASSERT_TRUE(file && SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
      break;
    }
  }
  const std::string written = c.change == Change::kTooLarge ? "" : test::ReadWholeFile(folder_.ConfigPath());
  const FileStamp stamp = StampOf(folder_.ConfigPath());

  // The question comes while the add is being stored: the box empties after it.
  launcher.SetAccountText("b");
  launcher.ClickAdd();
  if (c.answer) {
    const MessageBoxSeen question = launcher.AnswerMessageBox(*c.answer);
    EXPECT_EQ(question, (MessageBoxSeen{true, Shown(KL_TEXT_FILE_CHANGED), kCaption, true}));
  }
  if (c.change == Change::kTooLarge) {
    EXPECT_EQ(launcher.TakeNotice(), Shown(KL_TEXT_LIST_UNREADABLE));
    EXPECT_EQ(launcher.ScreenRows(), Rows{});
  } else if (c.storedAsWritten) {
    ASSERT_TRUE(test::WaitUntil([&] { return launcher.ScreenRows() == c.screen; }));
    EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()), written);
    EXPECT_TRUE(StampOf(folder_.ConfigPath()) == stamp) << "the loaded file was written again";
  } else {
    ExpectRows(launcher, c.screen);
  }
  EXPECT_EQ(launcher.TakeNotice(500ms), "");

  if (!c.undone) {
    // Storing has stopped: the next edit writes nothing either.
    Add(launcher, "z");
    EXPECT_EQ(launcher.TakeNotice(500ms), "");
    EXPECT_TRUE(StampOf(folder_.ConfigPath()) == stamp);
    return;
  }
  // An undo goes back only over this run's edits of the rows now on screen.
  const FileStamp beforeUndo = StampOf(folder_.ConfigPath());
  launcher.ClickRow(0);
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == c.screen[0].second; }));
  test::TapKeyWith({VK_CONTROL}, 'Z');
  if (*c.undone == c.screen) {
    test::PumpMessagesFor(1000ms);
    EXPECT_TRUE(StampOf(folder_.ConfigPath()) == beforeUndo) << "an undo with nothing to undo stored";
    EXPECT_EQ(launcher.ScreenRows(), c.screen);
  } else {
    ExpectRows(launcher, *c.undone);
  }
  // And the next edit is stored without a question.
  Rows next = *c.undone;
  next.push_back({std::to_string(next.size() + 1), "z"});
  Add(launcher, "z");
  ExpectRows(launcher, next);
  EXPECT_EQ(launcher.TakeNotice(500ms), "");
}

const Rows kEdited = {{"1", "a"}, {"2", "b"}};

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangedFile,
    ::testing::Values(
        ChangeCase{"YesLoadsTheOtherList",
                   Change::kOtherRows,
                   Answer::kEnter,
                   {{"7", "x"}, {"8", "y"}},
                   true,
                   Rows{{"7", "x"}, {"8", "y"}}},
        ChangeCase{"NoStoresTheScreenOverIt", Change::kOtherRows, Answer::kNo, kEdited, false, Rows{{"1", "a"}}},
        ChangeCase{"SameSizeAndTimeIsSeenByTheBytes",
                   Change::kSameSizeAndTime,
                   Answer::kYes,
                   {{"1", "q"}},
                   true,
                   Rows{{"1", "q"}}},
        ChangeCase{"RemovedIsStoredAgain", Change::kRemoved, std::nullopt, kEdited, false, Rows{{"1", "a"}}},
        ChangeCase{"TooLargeStopsStoringOnYes", Change::kTooLarge, Answer::kYes, {}, false, std::nullopt}),
    [](const ::testing::TestParamInfo<ChangeCase>& info) { return std::string(info.param.name); });

TEST_F(EndToEnd, NoKeepsTheOtherProgramsFileAsABackup) {
  StoreRows({{"1", "a"}});
  RunningLauncher launcher;
  Start(launcher);
  StoreRows({{"7", "x"}});
  const std::string theirs = test::ReadWholeFile(folder_.ConfigPath());
  launcher.SetAccountText("b");
  launcher.ClickAdd();
  EXPECT_EQ(launcher.AnswerMessageBox(Answer::kNo),
            (MessageBoxSeen{true, Shown(KL_TEXT_FILE_CHANGED), kCaption, true}));
  ExpectRows(launcher, kEdited);
  const std::vector<std::string> backups = NamesIn(folder_ / "backup");
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(test::ReadWholeFile(folder_ / ("backup\\" + backups[0])), theirs);
}

// ---- a save cut off on a FAT drive ----------------------------------------------

TEST_F(EndToEnd, WithoutConfigIniTheNewestLeftoverOfAnEndedWriterBecomesIt) {
  test::ChildProcess ended;
  ASSERT_TRUE(ended.Start("\"" + folder_.BrowserPath() + "\"", folder_.path(),
                          {"KL_FAKE_BROWSER_LOG=" + (folder_ / "ended.log")}));
  DWORD exitCode = 0;
  ASSERT_TRUE(ended.WaitForExit(exitCode));
  const std::string dead = "~kl" + std::to_string(ended.id());
  const std::string alive = "~kl" + std::to_string(GetCurrentProcessId()) + "-1.tmp";
  const Rows older = {{"1", "old"}}, newest = {{"1", "new"}, {"2", "rows"}}, running = {{"1", "running"}};
  ASSERT_TRUE(WriteStored(folder_ / (dead + "-9.tmp"), ContentOf(older)));
  ASSERT_TRUE(WriteStored(folder_ / (dead + "-3.tmp"), ContentOf(newest)));
  ASSERT_TRUE(WriteStored(folder_ / alive, ContentOf(running)));  // its writer runs: not a leftover
  ASSERT_TRUE(test::WriteWholeFile(folder_ / (dead + "-12.tmp"), ""));  // the newest, but it holds nothing
  FILETIME time = {};
  ASSERT_TRUE(LastWriteTime(folder_ / (dead + "-3.tmp"), time));
  ULARGE_INTEGER earlier{{time.dwLowDateTime, time.dwHighDateTime}};
  earlier.QuadPart -= 10'000'000;  // a second before
  ASSERT_TRUE(SetLastWriteTime(folder_ / (dead + "-9.tmp"), {earlier.LowPart, earlier.HighPart}));
  ULARGE_INTEGER later = earlier;
  later.QuadPart += 30'000'000;
  ASSERT_TRUE(SetLastWriteTime(folder_ / alive, {later.LowPart, later.HighPart}));
  ASSERT_TRUE(SetLastWriteTime(folder_ / (dead + "-12.tmp"), {later.LowPart, later.HighPart}));
  const std::string recovered = test::ReadWholeFile(folder_ / (dead + "-3.tmp"));

  std::vector<std::string> expected = folder_.Entries();
  expected.erase(std::find(expected.begin(), expected.end(), dead + "-9.tmp"));
  expected.erase(std::find(expected.begin(), expected.end(), dead + "-3.tmp"));
  expected.erase(std::find(expected.begin(), expected.end(), dead + "-12.tmp"));
  expected.push_back("config.ini");
  expected = WhileRunning(expected);

  RunningLauncher launcher;
  Start(launcher);
  EXPECT_EQ(launcher.ScreenRows(), newest);
  EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()), recovered);
  EXPECT_EQ(folder_.Entries(), expected);
  EXPECT_EQ(launcher.TakeNotice(500ms), "");
  Add(launcher, "more");
  ExpectRows(launcher, {{"1", "new"}, {"2", "rows"}, {"3", "more"}});
}

// ---- backups ------------------------------------------------------------------

TEST_F(EndToEnd, EverySaveThatChangesTheFileKeepsTheOneItReplaced) {
  RunningLauncher launcher;
  Start(launcher);
  // The first save replaces no file: nothing to keep.
  Add(launcher, "a");
  ExpectRows(launcher, {{"1", "a"}});
  EXPECT_EQ(NamesIn(folder_ / "backup"), std::vector<std::string>{});

  std::vector<std::string> replaced;
  const auto edit = [&](const std::function<void()>& change, const Rows& after) {
    replaced.push_back(test::ReadWholeFile(folder_.ConfigPath()));
    const FileStamp before = StampOf(folder_.ConfigPath());
    change();
    ASSERT_TRUE(WaitForSave(before));
    ExpectRows(launcher, after);
  };
  edit([&] { Add(launcher, "b"); }, {{"1", "a"}, {"2", "b"}});
  edit([&] { Add(launcher, "c"); }, {{"1", "a"}, {"2", "b"}, {"3", "c"}});
  edit(
      [&] {
        launcher.ClickRow(0);
        ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "a"; }));
        launcher.ClickDelete();
      },
      {{"1", "b"}, {"2", "c"}});
  // A save of the bytes the file holds already keeps no copy.
  const FileStamp before = StampOf(folder_.ConfigPath());
  launcher.ClickRenumber();
  ASSERT_TRUE(WaitForSave(before));

  const std::vector<std::string> backups = NamesIn(folder_ / "backup");
  ASSERT_EQ(backups.size(), replaced.size());
  for (std::size_t i = 0; i < backups.size(); ++i) {
    SCOPED_TRACE(backups[i]);
    EXPECT_TRUE(ParseBackupName(backups[i]).has_value());
    // In name order, which is the order of the saves.
    EXPECT_EQ(test::ReadWholeFile(folder_ / ("backup\\" + backups[i])), replaced[i]);
  }
  EXPECT_EQ(launcher.TakeNotice(500ms), "");
}

TEST_F(EndToEnd, BackupsBeyondTheLastTwentyOfOldDaysGoOthersStay) {
  StoreRows({{"1", "a"}});
  ASSERT_TRUE(CreateDirectoryA((folder_ / "backup").c_str(), nullptr));
  // Twenty-five of one old day, and names that only look like backups.
  std::vector<std::string> old;
  for (int minute = 0; minute < 25; ++minute) old.push_back(BackupName({2020, 1, 1, 12, minute, 0, 0}));
  const std::vector<std::string> others = {"config-20200101-120000-000.ini.bak", "config-2020.ini", "notes.txt",
                                           "config-20200101-115900-000.INI"};
  for (const std::string& name : old) ASSERT_TRUE(test::WriteWholeFile(folder_ / ("backup\\" + name), name));
  for (const std::string& name : others) ASSERT_TRUE(test::WriteWholeFile(folder_ / ("backup\\" + name), name));
  const std::string replaced = test::ReadWholeFile(folder_.ConfigPath());

  RunningLauncher launcher;
  Start(launcher);
  Add(launcher, "b");
  ExpectRows(launcher, {{"1", "a"}, {"2", "b"}});

  // The new backup and the nineteen newest of the old day stay.
  std::vector<std::string> names = NamesIn(folder_ / "backup");
  std::vector<std::string> fresh;
  for (const std::string& name : names) {
    const auto time = ParseBackupName(name);
    if (time && time->year != 2020) fresh.push_back(name);
  }
  ASSERT_EQ(fresh.size(), 1u);
  EXPECT_EQ(test::ReadWholeFile(folder_ / ("backup\\" + fresh[0])), replaced);
  std::vector<std::string> expected(old.begin() + 6, old.end());
  expected.insert(expected.end(), others.begin(), others.end());
  expected.push_back(fresh[0]);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
}

TEST_F(EndToEnd, ABackupThatCannotBeWrittenLeavesTheSaveAlone) {
  StoreRows({{"1", "a"}});
  ASSERT_TRUE(test::WriteWholeFile(folder_ / "backup", "a file where the folder would be"));
  RunningLauncher launcher;
  Start(launcher);
  Add(launcher, "b");
  ExpectRows(launcher, {{"1", "a"}, {"2", "b"}});
  EXPECT_EQ(launcher.TakeNotice(500ms), "");
  EXPECT_EQ(test::ReadWholeFile(folder_ / "backup"), "a file where the folder would be");
  EXPECT_EQ(TemporaryFiles(folder_), std::vector<std::string>{});
}

}  // namespace

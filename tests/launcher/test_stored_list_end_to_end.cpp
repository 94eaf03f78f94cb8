// KestrunLauncher.exe and its stored list: what lands in config.ini, byte for
// byte; a stored list that cannot be read is never overwritten; one copy per
// program folder; leftovers of killed saves; program folders of any name.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "end_to_end.h"
#include "host/handles.h"
#include "host/list_content.h"
#include "launcher_window.h"
#include "stored_list.h"
#include "win_test_support.h"

using namespace launcher_test;

namespace {

const std::string kTrailBackslash = "\x81\x5C";           // 乗: its second byte is a backslash
const std::string kShopOne = "\xB5\xEA\xC6\xCC\xD2\xBB";  // 店铺一

// ---- what is stored ------------------------------------------------------

TEST_F(EndToEnd, AFirstRowIsStoredAsTheFortyTwoByteExample) {
  RunningLauncher launcher;
  Start(launcher);
  launcher.SetAccountText("abc");
  launcher.ClickAdd();
  ASSERT_TRUE(launcher.WaitForRows({{"1", "abc"}}, folder_.ConfigPath()));
  EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()).size(), 42u);
  EXPECT_EQ(StoredPlain(folder_.ConfigPath()), WorkedExampleContent());
}

TEST_F(EndToEnd, DoubleByteTextsAndItemDataAreStoredByteForByte) {
  // Written by another copy: item data, and an info tip that a save does not keep.
  const Rows rows = {{"3", kShopOne}, {"1", kTrailBackslash + "x"}, {"2", "13800000000"}};
  Bytes plain = ContentOf(rows, {7, -3, 0});
  ContentRecord tipped;
  tipped.text = "4";
  tipped.secondText = "tip";
  tipped.itemData = 65536;
  const Bytes row = EncodeRecord(tipped);
  const Bytes cell = EncodeCellRecord(-1, "\xB5\xEA");  // 店
  plain.insert(plain.end(), row.begin(), row.end());
  plain.insert(plain.end(), cell.begin(), cell.end());
  ASSERT_TRUE(WriteStored(folder_.ConfigPath(), plain));
  RunningLauncher launcher;
  Start(launcher);

  launcher.ClickRenumber();
  ExpectRows(launcher, {{"1", kShopOne}, {"2", kTrailBackslash + "x"}, {"3", "13800000000"}, {"4", "\xB5\xEA"}},
             {7, -3, 0, 65536});
}

// After a save the list is exactly what a fresh start from the stored file
// shows: the same texts and row values, and no row selected or focused.
TEST_F(EndToEnd, TheListAfterASaveIsTheListAFreshStartShows) {
  StoreRows({{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}});
  std::vector<RunningLauncher::RowState> afterSave;
  int markAfterSave = 0;
  {
    RunningLauncher launcher;
    Start(launcher);
    launcher.ClickRow(2);
    ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "c"; }));
    ASSERT_EQ(launcher.SelectedRow(), 2);
    launcher.SetAccountText("changed");
    launcher.ClickModify();
    ExpectRows(launcher, {{"1", "a"}, {"2", "b"}, {"3", "changed"}, {"4", "d"}});
    afterSave = launcher.RowStates();
    markAfterSave = launcher.SelectionMark();
    PostMessageA(launcher.window(), WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.WaitForExit(exitCode));
  }
  RunningLauncher fresh;
  Start(fresh);
  EXPECT_EQ(afterSave, fresh.RowStates());
  EXPECT_EQ(markAfterSave, fresh.SelectionMark());
  for (const auto& row : afterSave) EXPECT_EQ(row.marks, 0u) << row.text1;
}

// ---- a stored list that cannot be read ------------------------------------

enum class Unreadable { kHeldOpen, kOverTheLimit, kHuge, kFolder };

struct UnreadableCase {
  const char* name;
  Unreadable kind;
};

class UnreadableList : public EndToEnd, public ::testing::WithParamInterface<UnreadableCase> {
 protected:
  // A file of `size` bytes that takes no room: its end is set, nothing written.
  bool MakeSparse(std::uint64_t size) {
    UniqueFile file(CreateFileA(folder_.ConfigPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return file && SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
  }
};

TEST_P(UnreadableList, IsNeverOverwrittenAndTheUserIsToldOnce) {
  UniqueFile lock;
  switch (GetParam().kind) {
    case Unreadable::kHeldOpen:
      StoreRows({{"1", "abc"}});
      lock.reset(CreateFileA(folder_.ConfigPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(lock);
      break;
    case Unreadable::kOverTheLimit:
      ASSERT_TRUE(MakeSparse((16u << 20) + 1));
      break;
    case Unreadable::kHuge:
      ASSERT_TRUE(MakeSparse(3ull << 30));
      break;
    case Unreadable::kFolder:
      ASSERT_TRUE(CreateDirectoryA(folder_.ConfigPath().c_str(), nullptr));
      break;
  }
  const FileStamp stamp = StampOf(folder_.ConfigPath());
  const bool small = GetParam().kind != Unreadable::kHuge && GetParam().kind != Unreadable::kFolder;
  RunningLauncher launcher;
  Start(launcher);
  const std::string notice = launcher.TakeNotice();
  EXPECT_NE(notice.find("config.ini"), std::string::npos) << notice;
  ASSERT_TRUE(test::WaitUntil([&] { return IsWindowEnabled(launcher.window()) != FALSE; }));
  lock.reset();  // whatever held it has let go; the run still stores nothing
  const std::string before = small ? test::ReadWholeFile(folder_.ConfigPath()) : std::string();
  EXPECT_TRUE(launcher.ScreenRows().empty());

  // Every kind of change; the last one shows that all before it were handled.
  launcher.SetAccountText("");
  launcher.ClickAdd();
  for (const char* account : {"x", "y"}) {
    launcher.SetAccountText(account);
    launcher.ClickAdd();
    ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText().empty(); })) << "the add was not handled";
  }
  launcher.ClickRenumber();
  launcher.ClickRow(0);
  launcher.ClickDelete();
  launcher.ClickRow(0);
  ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == "y"; }));
  launcher.SetAccountText("z");
  launcher.ClickModify();
  test::WaitUntil([&] { return launcher.ScreenRows() == Rows{{"1", "z"}}; });
  EXPECT_EQ(launcher.ScreenRows(), (Rows{{"1", "z"}}));

  EXPECT_TRUE(StampOf(folder_.ConfigPath()) == stamp) << "config.ini was written";
  if (small) {
    EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()), before);
  }
  if (GetParam().kind == Unreadable::kFolder) {
    EXPECT_TRUE(test::FolderExists(folder_.ConfigPath()));
  }
  EXPECT_EQ(launcher.TakeNotice(std::chrono::milliseconds(500)), "") << "told more than once";
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableList,
                         ::testing::Values(UnreadableCase{"HeldOpenWithoutSharing", Unreadable::kHeldOpen},
                                           UnreadableCase{"LargerThanTheLimit", Unreadable::kOverTheLimit},
                                           UnreadableCase{"ThreeGigabytes", Unreadable::kHuge},
                                           UnreadableCase{"AFolder", Unreadable::kFolder}),
                         [](const ::testing::TestParamInfo<UnreadableCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(EndToEnd, AnEmptyStoredFileStartsAnEmptyListThatIsStored) {
  ASSERT_TRUE(test::WriteWholeFile(folder_.ConfigPath(), ""));
  RunningLauncher launcher;
  Start(launcher);
  launcher.SetAccountText("abc");
  launcher.ClickAdd();
  ExpectRows(launcher, {{"1", "abc"}});
  EXPECT_EQ(launcher.TakeNotice(std::chrono::milliseconds(500)), "");
}

// ---- one copy per folder --------------------------------------------------

std::string Upper(std::string text) {
  CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

TEST_F(EndToEnd, ASecondCopyOfTheFolderBringsTheFirstForwardAndEnds) {
  StoreRows({{"1", "abc"}});
  RunningLauncher first;
  Start(first);
  PostMessageA(first.window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return IsIconic(first.window()) != FALSE; }));
  const FileStamp stamp = StampOf(folder_.ConfigPath());

  // The same folder, spelt in other letters.
  for (const std::string& program : {folder_.ProgramPath(), Upper(folder_.ProgramPath())}) {
    SCOPED_TRACE(program);
    test::ChildProcess second;
    ASSERT_TRUE(second.Start("\"" + program + "\""));
    DWORD exitCode = 99;
    ASSERT_TRUE(second.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(test::WaitUntil([&] { return !IsIconic(first.window()) && GetForegroundWindow() == first.window(); }));
    PostMessageA(first.window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return IsIconic(first.window()) != FALSE; }));
  }
  EXPECT_TRUE(StampOf(folder_.ConfigPath()) == stamp);
  EXPECT_TRUE(IsWindow(first.window()));
}

TEST_F(EndToEnd, CopiesInDifferentFoldersKeepTheirOwnLists) {
  ProgramFolder other;
  ASSERT_TRUE(other.ready());
  RunningLauncher here;
  Start(here);
  here.SetAccountText("here");
  here.ClickAdd();
  ExpectRows(here, {{"1", "here"}});
  // The second window comes up over the first, where the clicks land.
  RunningLauncher there;
  ASSERT_TRUE(there.Start(other));
  there.SetAccountText("there");
  there.ClickAdd();
  EXPECT_TRUE(there.WaitForRows({{"1", "there"}}, other.ConfigPath()));
  EXPECT_EQ(StoredPlain(other.ConfigPath()), ContentOf({{"1", "there"}}));
  EXPECT_EQ(StoredPlain(folder_.ConfigPath()), ContentOf({{"1", "here"}}));
  EXPECT_EQ(here.ScreenRows(), (Rows{{"1", "here"}}));
}

// ---- leftovers of a killed save ---------------------------------------------

TEST_F(EndToEnd, LeftoverTemporaryFilesOfEndedWritersAreRemovedAtStart) {
  // Beside a stored list, no leftover is needed to recover one.
  StoreRows({{"1", "abc"}});
  // A writer that has ended, and one that runs (this test).
  test::ChildProcess ended;
  ASSERT_TRUE(ended.Start("\"" + folder_.BrowserPath() + "\"", folder_.path(),
                          {"KL_FAKE_BROWSER_LOG=" + (folder_ / "ended.log")}));
  DWORD exitCode = 0;
  ASSERT_TRUE(ended.WaitForExit(exitCode));
  const std::string dead = std::to_string(ended.id());
  const std::string alive = std::to_string(GetCurrentProcessId());
  const std::vector<std::string> removed = {"~kl" + dead + "-1.tmp", "~kl" + dead + "-27.tmp"};
  const std::vector<std::string> kept = {"~kl" + alive + "-1.tmp",
                                         "~kl" + dead + "-1.tmp.bak",
                                         "~kl" + dead + ".tmp",
                                         "~kl" + dead + "-.tmp",
                                         "~kl-1.tmp",
                                         "~klx" + dead + "-1.tmp",
                                         "a~kl" + dead + "-1.tmp",
                                         "other.tmp"};
  for (const auto& name : removed) ASSERT_TRUE(test::WriteWholeFile(folder_ / name, "x"));
  for (const auto& name : kept) ASSERT_TRUE(test::WriteWholeFile(folder_ / name, "x"));
  ASSERT_TRUE(CreateDirectoryA((folder_ / ("~kl" + dead + "-2.tmp")).c_str(), nullptr));  // not a file: stays

  std::vector<std::string> expected = folder_.Entries();
  for (const auto& name : removed) expected.erase(std::find(expected.begin(), expected.end(), name));
  expected = WhileRunning(expected);
  RunningLauncher launcher;
  Start(launcher);
  EXPECT_EQ(folder_.Entries(), expected);
}

// ---- program folders of any name -------------------------------------------

struct FolderCase {
  const char* name;
  std::string subfolder;
  std::string program;
};

class ProgramFolderNames : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderNames, StoreTheListBesideTheProgram) {
  ProgramFolder folder(GetParam().subfolder, GetParam().program);
  ASSERT_TRUE(folder.ready());
  BrowserIconValue icon;
  ASSERT_TRUE(icon.Set(folder.BrowserPath() + ",0"));
  const std::vector<std::string> before = folder.Entries();
  RunningLauncher launcher;
  ASSERT_TRUE(launcher.Start(folder));
  EXPECT_EQ(launcher.BrowserPathText(), folder.BrowserPath());
  launcher.SetAccountText("abc");
  launcher.ClickAdd();
  EXPECT_TRUE(launcher.WaitForRows({{"1", "abc"}}, folder.ConfigPath()));
  EXPECT_EQ(StoredPlain(folder.ConfigPath()), WorkedExampleContent());
  std::vector<std::string> expected = WhileRunning(before);
  expected.push_back("config.ini");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(folder.Entries(), expected) << "only config.ini is new, and nothing lands elsewhere";
}

INSTANTIATE_TEST_SUITE_P(Names, ProgramFolderNames,
                         ::testing::Values(FolderCase{"FolderEndsInATrailBackslash", kTrailBackslash,
                                                      "KestrunLauncher.exe"},
                                           FolderCase{"ProgramEndsInATrailBackslash", "", kTrailBackslash + ".exe"},
                                           FolderCase{"BothAndMore", kShopOne + kTrailBackslash,
                                                      kTrailBackslash + kTrailBackslash + ".exe"}),
                         [](const ::testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });

// A folder whose name the ANSI code page cannot spell (Thai here): no path of
// the program would name it, so the program says so and ends.
TEST(ProgramFolderUnspellable, TellsTheUserAndEndsStoringNothing) {
  test::TempFolder base;
  const std::wstring folder = test::Widen(base.path()) + L"\\\x0E01\x0E02";
  const std::wstring program = folder + L"\\KestrunLauncher.exe";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(test::Widen(test::BinFolder() + "\\KestrunLauncher.exe").c_str(), program.c_str(), TRUE));

  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION started = {};
  std::wstring line = L"\"" + program + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
  CloseHandle(started.hThread);
  UniqueHandle process(started.hProcess);

  const std::string notice = TakeNotice(started.dwProcessId);
  EXPECT_FALSE(notice.empty()) << "no message box";
  DWORD exitCode = STILL_ACTIVE;
  if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(process.get(), 99);
  WaitForSingleObject(process.get(), 10000);
  GetExitCodeProcess(process.get(), &exitCode);
  EXPECT_EQ(exitCode, 1u);
  EXPECT_EQ(GetFileAttributesW((folder + L"\\config.ini").c_str()), INVALID_FILE_ATTRIBUTES);

  // The ANSI clean-up of the base folder cannot name these.
  DeleteFileW(program.c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

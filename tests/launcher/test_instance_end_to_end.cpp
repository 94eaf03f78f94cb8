// KestrunLauncher.exe and the place it runs from: one running copy per
// program folder, however the folder is reached, through the lock file the
// first copy holds inside it; and the warning when the program runs from
// inside the temporary folder or without its template.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "end_to_end.h"
#include "host/handles.h"
#include "host/single_instance.h"
#include "host/texts.h"
#include "launcher_window.h"
#include "stored_list.h"
#include "win_test_support.h"

using namespace launcher_test;

namespace {

const std::string kLockName = test::Narrow(kInstanceLockName);

std::string Notice(unsigned id) { return test::Narrow(ProgramText(id)); }

// Starts a second copy by `program` and waits for it to end; its exit code.
DWORD RunSecondCopy(const std::string& program, std::string* notice = nullptr) {
  test::ChildProcess second;
  EXPECT_TRUE(second.Start("\"" + program + "\""));
  if (notice) *notice = TakeNotice(second.id(), std::chrono::seconds(20));
  DWORD exitCode = 99;
  EXPECT_TRUE(second.WaitForExit(exitCode));
  return exitCode;
}

// A lock file held the way a copy of the program holds it, by this test,
// with the record it writes.
class HeldLock {
 public:
  HeldLock(const std::string& folder, const InstanceLockRecord* record) {
    const std::wstring path = test::Widen(folder) + L"\\" + kInstanceLockName;
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    DWORD written = 0;
    if (record) WriteFile(file_.get(), record, sizeof *record, &written, nullptr);
  }
  bool held() const { return static_cast<bool>(file_); }

 private:
  UniqueFile file_;
};

InstanceLockRecord RecordOfThisProcess() {
  InstanceLockRecord record = {};
  record.magic = kInstanceLockMagic;
  record.process = GetCurrentProcessId();
  DWORD session = 0;
  ProcessIdToSessionId(record.process, &session);
  record.session = session;
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  GetComputerNameW(record.computer, &size);
  return record;
}

// ---- one copy per folder ----------------------------------------------------

TEST_F(EndToEnd, TheFirstCopyHoldsALockFileInItsFolderUntilItEnds) {
  std::vector<std::string> before = folder_.Entries();
  {
    RunningLauncher launcher;
    Start(launcher);
    EXPECT_EQ(folder_.Entries(), WhileRunning(before));
    PostMessageA(launcher.window(), WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
  }
  // Nothing of the run is left but what it stored (nothing: no edit).
  EXPECT_EQ(folder_.Entries(), before);
}

// The folder spelt through another drive. Under Wine, drive Z: shows the
// whole Unix file system, the prefix's C: drive included: the folder there is
// the same folder, as a subst or a mapped drive would show it.
std::string ThroughAnotherDrive(const std::string& folder) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return {};
  char* name = unixName(test::Widen(folder).c_str());
  if (name == nullptr) return {};
  std::string path = std::string("Z:") + name;
  HeapFree(GetProcessHeap(), 0, name);
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

TEST_F(EndToEnd, ACopyOfTheFolderThroughAnotherDriveLetterHandsOverToTheFirst) {
  const std::string other = ThroughAnotherDrive(folder_.path());
  if (other.empty()) GTEST_SKIP() << "no second drive shows this folder here";
  ASSERT_TRUE(test::FileExists(other + "\\KestrunLauncher.exe")) << other;

  StoreRows({{"1", "abc"}});
  RunningLauncher first;
  Start(first);
  PostMessageA(first.window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return IsIconic(first.window()) != FALSE; }));
  const FileStamp stamp = StampOf(folder_.ConfigPath());

  EXPECT_EQ(RunSecondCopy(other + "\\KestrunLauncher.exe"), 0u);
  EXPECT_TRUE(test::WaitUntil([&] { return !IsIconic(first.window()) && GetForegroundWindow() == first.window(); }));
  EXPECT_TRUE(StampOf(folder_.ConfigPath()) == stamp);
}

// A lock whose holder cannot be reached from here: the list is open
// elsewhere, and this copy says so, stores nothing and ends.
struct ElsewhereCase {
  const char* name;
  bool (*record)(InstanceLockRecord& record);  // false: the holder wrote nothing
};

const ElsewhereCase kElsewhere[] = {
    {"AnotherComputer",
     [](InstanceLockRecord& r) {
       r = RecordOfThisProcess();
       std::wcscpy(r.computer, L"OTHER-PC");
       return true;
     }},
    {"AnotherSession",
     [](InstanceLockRecord& r) {
       r = RecordOfThisProcess();
       r.session += 1;
       return true;
     }},
    {"AWindowThatIsNotTheHolders",
     [](InstanceLockRecord& r) {
       r = RecordOfThisProcess();
       r.window = reinterpret_cast<std::uintptr_t>(GetDesktopWindow());
       return true;
     }},
    {"AHolderThatWritesNothing", [](InstanceLockRecord&) { return false; }},
};

class HeldElsewhere : public EndToEnd, public ::testing::WithParamInterface<ElsewhereCase> {};

TEST_P(HeldElsewhere, ASecondCopySaysTheListIsOpenElsewhereAndEnds) {
  StoreRows({{"1", "abc"}});
  const std::string stored = test::ReadWholeFile(folder_.ConfigPath());
  InstanceLockRecord record = {};
  const bool written = GetParam().record(record);
  HeldLock lock(folder_.path(), written ? &record : nullptr);
  ASSERT_TRUE(lock.held());
  const std::vector<std::string> entries = folder_.Entries();

  std::string notice;
  EXPECT_EQ(RunSecondCopy(folder_.ProgramPath(), &notice), 0u);
  EXPECT_EQ(notice, Notice(KL_TEXT_OPEN_ELSEWHERE));
  EXPECT_EQ(test::ReadWholeFile(folder_.ConfigPath()), stored);
  EXPECT_EQ(folder_.Entries(), entries);
}

INSTANTIATE_TEST_SUITE_P(Holders, HeldElsewhere, ::testing::ValuesIn(kElsewhere),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EndToEnd, ALockFileNobodyHoldsDoesNotStopAStart) {
  // Left by a copy that ended without deleting it (the power went).
  ASSERT_TRUE(test::WriteWholeFile(folder_ / kLockName, "left over"));
  StoreRows({{"1", "abc"}});
  RunningLauncher launcher;
  Start(launcher);
  EXPECT_EQ(launcher.ScreenRows(), (Rows{{"1", "abc"}}));
  launcher.SetAccountText("def");
  launcher.ClickAdd();
  ExpectRows(launcher, {{"1", "abc"}, {"2", "def"}});
}

TEST_F(EndToEnd, AKilledCopyLeavesNoLockBehind) {
  {
    RunningLauncher killed;
    Start(killed);
    killed.Kill();
  }
  EXPECT_TRUE(test::WaitUntil([&] { return !test::FileExists(folder_ / kLockName); }));
  RunningLauncher next;
  Start(next);
  EXPECT_EQ(next.TakeNotice(std::chrono::milliseconds(500)), "");
}

// ---- a place that lasts ------------------------------------------------------

TEST_F(EndToEnd, AProgramFolderWithItsTemplateOutsideTheTemporaryFolderStartsWithoutAWord) {
  RunningLauncher launcher;
  Start(launcher);
  EXPECT_EQ(launcher.TakeNotice(std::chrono::seconds(2)), "");
}

TEST(ProgramPlace, InsideTheTemporaryFolderTheUserIsToldToUnpackItFirst) {
  // As an archive tool leaves a program opened inside a zip.
  test::TempFolder temporary;
  const std::string folder = temporary / "7zO1A2B";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(test::CopyFromBin("KestrunLauncher.exe", folder));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\UserData__Templete").c_str(), nullptr));
  test::ChildProcess program;
  ASSERT_TRUE(program.Start("\"" + folder + "\\KestrunLauncher.exe\""));
  EXPECT_EQ(TakeNotice(program.id(), std::chrono::seconds(30)), Notice(KL_TEXT_NOT_UNPACKED));
  // It still runs, once told.
  EXPECT_TRUE(program.running());
}

TEST_F(EndToEnd, WithoutItsTemplateTheUserIsToldAtStartAndALaunchStartsNothing) {
  test::RemoveTree(folder_ / "UserData__Templete");
  StoreRows({{"1", "abc"}});
  RunningLauncher launcher;
  Start(launcher);
  EXPECT_EQ(launcher.TakeNotice(std::chrono::seconds(10)), Notice(KL_TEXT_NOT_UNPACKED));
  const std::vector<std::string> entries = folder_.Entries();

  launcher.SetBrowserPathText(folder_.BrowserPath());
  launcher.DoubleClickRow(0);
  EXPECT_EQ(launcher.TakeNotice(std::chrono::seconds(10)), Notice(KL_TEXT_TEMPLATE_MISSING));
  // No profile was made and no browser started: the folder is as it was.
  test::PumpMessagesFor(std::chrono::milliseconds(500));
  EXPECT_EQ(folder_.Entries(), entries);
}

}  // namespace

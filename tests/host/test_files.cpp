// Whole files and folder trees on the real file system (under Wine).

#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "host/files.h"
#include "host/handles.h"
#include "win_test_support.h"

namespace {

using test::AsBytes;
using test::FileExists;
using test::FolderExists;
using test::ReadWholeFile;
using test::TempFolder;
using test::WriteWholeFile;

// The names in a folder, "." and ".." left out.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &entry));
  if (!find) return names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find.get(), &entry));
  return names;
}

UniqueFile OpenHeld(const std::string& path, DWORD access, DWORD share) {
  return UniqueFile(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Makes `folder` the current folder for the test's duration.
class CurrentFolderScope {
 public:
  explicit CurrentFolderScope(const std::string& folder) {
    char old[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof old, old);
    old_ = old;
    SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolderScope() { SetCurrentDirectoryA(old_.c_str()); }

 private:
  std::string old_;
};

// The tree walks run once in code page 936 and once in 1252.
TEST(CodePage, IsTheOneThisRunIsFor) {
  const char* expected = std::getenv("KL_EXPECT_CODE_PAGE");
  ASSERT_NE(expected, nullptr) << "the test is registered with the code page it expects";
  EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
  const std::string folder = ProgramFolder();
  EXPECT_EQ(folder, test::BinFolder());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_TRUE(FileExists(folder + "\\test_files.exe"));
}

// ---------------------------------------------------------------- reading

enum class Setup { kMissing, kEmpty, kFolder, kContent, kHeldWithoutSharing, kHeldForWriting, kHeldForReading };

struct ReadCase {
  const char* name;
  Setup setup;
  std::string expected;
  ReadOutcome outcome;
};

class ReadFileBytesTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadFileBytesTest, GivesTheWholeFileOrNothing) {
  const ReadCase& c = GetParam();
  TempFolder temp;
  const std::string path = temp / "data.bin";
  const std::string content("k\0\xff\x95\x5c\r\n", 7);
  UniqueFile held;
  switch (c.setup) {
    case Setup::kMissing:
      break;
    case Setup::kEmpty:
      ASSERT_TRUE(WriteWholeFile(path, ""));
      break;
    case Setup::kFolder:
      ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
      break;
    case Setup::kContent:
      ASSERT_TRUE(WriteWholeFile(path, content));
      break;
    case Setup::kHeldWithoutSharing:
      ASSERT_TRUE(WriteWholeFile(path, content));
      held = OpenHeld(path, GENERIC_READ | GENERIC_WRITE, 0);
      ASSERT_TRUE(held);
      break;
    case Setup::kHeldForWriting:  // it may change under us: not read
      ASSERT_TRUE(WriteWholeFile(path, content));
      held = OpenHeld(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
      ASSERT_TRUE(held);
      break;
    case Setup::kHeldForReading:  // other readers are welcome
      ASSERT_TRUE(WriteWholeFile(path, content));
      held = OpenHeld(path, GENERIC_READ, FILE_SHARE_READ);
      ASSERT_TRUE(held);
      break;
  }
  const std::string expected = c.expected == "content" ? content : c.expected;
  EXPECT_EQ(test::AsString(ReadFileBytes(path)), expected);
  Bytes data = {1, 2, 3};
  EXPECT_EQ(ReadFileWithin(path, content.size(), data), c.outcome);
  EXPECT_EQ(test::AsString(data), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadFileBytesTest,
    testing::Values(ReadCase{"Missing", Setup::kMissing, "", ReadOutcome::kMissing},
                    ReadCase{"Empty", Setup::kEmpty, "", ReadOutcome::kRead},
                    ReadCase{"Folder", Setup::kFolder, "", ReadOutcome::kUnreadable},
                    ReadCase{"Content", Setup::kContent, "content", ReadOutcome::kRead},
                    ReadCase{"HeldWithoutSharing", Setup::kHeldWithoutSharing, "", ReadOutcome::kUnreadable},
                    ReadCase{"HeldForWriting", Setup::kHeldForWriting, "", ReadOutcome::kUnreadable},
                    ReadCase{"HeldForReading", Setup::kHeldForReading, "content", ReadOutcome::kRead}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadFileBytes, EmptyPathGivesNothing) { EXPECT_TRUE(ReadFileBytes("").empty()); }

TEST(ReadFileWithin, AFileInAMissingFolderIsMissing) {
  TempFolder temp;
  Bytes data;
  EXPECT_EQ(ReadFileWithin(temp / "no\\data.bin", 100, data), ReadOutcome::kMissing);
}

// A file larger than the limit is not read, however large: its size alone
// decides, before any memory is taken.
TEST(ReadFileWithin, AFileLargerThanTheLimitIsUnreadable) {
  TempFolder temp;
  const std::string path = temp / "data.bin";
  ASSERT_TRUE(WriteWholeFile(path, "abcd"));
  Bytes data;
  EXPECT_EQ(ReadFileWithin(path, 4, data), ReadOutcome::kRead);
  EXPECT_EQ(test::AsString(data), "abcd");
  EXPECT_EQ(ReadFileWithin(path, 3, data), ReadOutcome::kUnreadable);
  EXPECT_TRUE(data.empty());
  {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = 5ll << 30;  // past what a 32-bit process could hold
    ASSERT_TRUE(file && SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
  }
  EXPECT_EQ(ReadFileWithin(path, 16u << 20, data), ReadOutcome::kUnreadable);
  EXPECT_TRUE(ReadFileBytes(path).empty());
}

TEST(ReadFileBytes, ReadsALargeFileWhole) {
  TempFolder temp;
  std::string big(3 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 + (i >> 12));
  ASSERT_TRUE(WriteWholeFile(temp / "big", big));
  EXPECT_TRUE(test::AsString(ReadFileBytes(temp / "big")) == big);
}

// ---------------------------------------------------------------- writing

TEST(WriteFileBytes, EmptyPathIsRefused) {
  EXPECT_FALSE(WriteFileBytes("", AsBytes("x")));
  EXPECT_FALSE(WriteFileBytes("", std::vector<Bytes>{}));
}

TEST(WriteFileBytes, OneEmptyPartCreatesOrEmptiesTheFile) {
  TempFolder temp;
  EXPECT_TRUE(WriteFileBytes(temp / "new", Bytes{}));
  EXPECT_TRUE(FileExists(temp / "new"));
  EXPECT_EQ(ReadWholeFile(temp / "new"), "");

  ASSERT_TRUE(WriteWholeFile(temp / "old", "previous content"));
  EXPECT_TRUE(WriteFileBytes(temp / "old", std::vector<Bytes>{Bytes{}}));
  EXPECT_TRUE(FileExists(temp / "old"));
  EXPECT_EQ(ReadWholeFile(temp / "old"), "");
}

TEST(WriteFileBytes, WritesThePartsInOrderOverLongerContent) {
  TempFolder temp;
  ASSERT_TRUE(WriteWholeFile(temp / "f", std::string(100, 'z')));
  EXPECT_TRUE(
      WriteFileBytes(temp / "f", {AsBytes("one,"), Bytes{}, AsBytes("two,"), AsBytes(std::string("\0\x95\x5c", 3))}));
  EXPECT_EQ(ReadWholeFile(temp / "f"), std::string("one,two,\0\x95\x5c", 11));
}

TEST(WriteFileBytes, FailsWhenTheFileCannotBeOpened) {
  TempFolder temp;
  EXPECT_FALSE(WriteFileBytes(temp / "missing-folder\\f", AsBytes("x")));
  EXPECT_FALSE(FolderExists(temp / "missing-folder"));

  ASSERT_TRUE(WriteWholeFile(temp / "held", "kept"));
  {
    UniqueFile held = OpenHeld(temp / "held", GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(held);
    EXPECT_FALSE(WriteFileBytes(temp / "held", AsBytes("new")));
  }
  EXPECT_EQ(ReadWholeFile(temp / "held"), "kept");
}

// ---------------------------------------------------------------- replacing

enum class Target {
  kMissing,
  kPlain,
  kReadOnly,
  kHeldWithoutSharing,  // for the whole save
  kHeldForAMoment,      // as a virus scanner or indexer does
  kFolder
};

struct ReplaceCase {
  const char* name;
  Target target;
  std::string data;
  WriteOutcome outcome;
};

class ReplaceFileBytesTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceFileBytesTest, ReplacesWhollyOrNotAtAllAndLeavesNoTemporaryFile) {
  const ReplaceCase& c = GetParam();
  TempFolder temp;
  const std::string path = temp / "config.ini";
  const std::string old = "the old content, longer than the new one";
  UniqueFile held;
  std::thread releaser;
  switch (c.target) {
    case Target::kMissing:
      break;
    case Target::kPlain:
      ASSERT_TRUE(WriteWholeFile(path, old));
      break;
    case Target::kReadOnly:
      ASSERT_TRUE(WriteWholeFile(path, old));
      ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
      break;
    case Target::kHeldWithoutSharing:
      ASSERT_TRUE(WriteWholeFile(path, old));
      held = OpenHeld(path, GENERIC_READ, 0);
      ASSERT_TRUE(held);
      break;
    case Target::kHeldForAMoment:
      ASSERT_TRUE(WriteWholeFile(path, old));
      held = OpenHeld(path, GENERIC_READ, 0);
      ASSERT_TRUE(held);
      releaser = std::thread([&held] {
        Sleep(200);
        held.reset();
      });
      break;
    case Target::kFolder:
      ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
      break;
  }

  const bool replaced = c.outcome == WriteOutcome::kWritten;
  EXPECT_EQ(ReplaceFileBytes(path, AsBytes(c.data)), c.outcome);
  if (releaser.joinable()) releaser.join();
  held.reset();

  if (c.target == Target::kFolder) {
    EXPECT_TRUE(FolderExists(path));
  } else if (replaced) {
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadWholeFile(path), c.data);
  } else {
    EXPECT_EQ(ReadWholeFile(path), c.target == Target::kMissing ? "" : old);
  }
  const std::vector<std::string> expected =
      c.target == Target::kMissing && !replaced ? std::vector<std::string>{} : std::vector<std::string>{"config.ini"};
  EXPECT_EQ(Entries(temp.path()), expected);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceFileBytesTest,
    testing::Values(ReplaceCase{"NewFile", Target::kMissing, "fresh", WriteOutcome::kWritten},
                    ReplaceCase{"ShorterOverLonger", Target::kPlain, std::string("new\0\x95\x5c", 6),
                                WriteOutcome::kWritten},
                    ReplaceCase{"EmptyGivesZeroBytes", Target::kPlain, "", WriteOutcome::kWritten},
                    ReplaceCase{"ReadOnlyKeepsOld", Target::kReadOnly, "new", WriteOutcome::kReadOnly},
                    ReplaceCase{"HeldWithoutSharingKeepsOld", Target::kHeldWithoutSharing, "new", WriteOutcome::kHeld},
                    ReplaceCase{"HeldForAMomentIsWaitedFor", Target::kHeldForAMoment, "new", WriteOutcome::kWritten},
                    ReplaceCase{"FolderIsNotReplaced", Target::kFolder, "new", WriteOutcome::kFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplaceFileBytes, FailsInAMissingFolderAndForAnEmptyPath) {
  TempFolder temp;
  EXPECT_EQ(ReplaceFileBytes(temp / "no-such-folder\\config.ini", AsBytes("x")), WriteOutcome::kFolderRefused);
  EXPECT_EQ(ReplaceFileBytes("", AsBytes("x")), WriteOutcome::kFailed);
  EXPECT_TRUE(Entries(temp.path()).empty());
}

TEST(ReplaceFileBytes, ARelativePathIsTakenFromTheCurrentFolder) {
  TempFolder temp;
  ASSERT_TRUE(WriteWholeFile(temp / "config.ini", "old"));
  CurrentFolderScope here(temp.path());
  EXPECT_EQ(ReplaceFileBytes("config.ini", AsBytes("new")), WriteOutcome::kWritten);
  EXPECT_EQ(ReadWholeFile(temp / "config.ini"), "new");
  EXPECT_EQ(Entries(temp.path()), std::vector<std::string>{"config.ini"});
}

// ---------------------------------------------------------------- new files and the write probe

TEST(WriteNewFileWhole, WritesANewNameAndNeverAnExistingOne) {
  TempFolder temp;
  EXPECT_TRUE(WriteNewFileWhole(temp / "copy.ini", AsBytes(std::string("new\0bytes", 9))));
  EXPECT_EQ(ReadWholeFile(temp / "copy.ini"), std::string("new\0bytes", 9));
  EXPECT_FALSE(WriteNewFileWhole(temp / "copy.ini", AsBytes("other")));
  EXPECT_EQ(ReadWholeFile(temp / "copy.ini"), std::string("new\0bytes", 9));
  EXPECT_FALSE(WriteNewFileWhole(temp / "no-such-folder\\copy.ini", AsBytes("x")));
  EXPECT_EQ(Entries(temp.path()), std::vector<std::string>{"copy.ini"});
}

TEST(CanWriteInFolder, MakesAndRemovesItsProbe) {
  TempFolder temp;
  ASSERT_TRUE(WriteWholeFile(temp / "config.ini", "x"));
  EXPECT_TRUE(CanWriteInFolder(temp.path()));
  EXPECT_EQ(Entries(temp.path()), std::vector<std::string>{"config.ini"});
  EXPECT_FALSE(CanWriteInFolder(temp / "no-such-folder"));
  EXPECT_FALSE(CanWriteInFolder(""));
}

// Wine cannot make a folder of its own drives unwritable for a user who may
// write everything (the tests run as root), but the drive of the whole Unix
// tree reaches /proc, where no one can make a file.
TEST(CanWriteInFolder, IsFalseWhereTheSystemRefusesNewFiles) {
  if (!FolderExists("Z:\\proc\\self")) GTEST_SKIP() << "no Z: drive onto the Unix tree";
  EXPECT_FALSE(CanWriteInFolder("Z:\\proc"));
}

TEST(StateOfFile, GivesSizeAndTimeAndTellsAMissingFile) {
  TempFolder temp;
  ASSERT_TRUE(WriteWholeFile(temp / "a.ini", "12345"));
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  ASSERT_TRUE(GetFileAttributesExA((temp / "a.ini").c_str(), GetFileExInfoStandard, &data));
  const FileState state = StateOfFile(temp / "a.ini");
  EXPECT_TRUE(state.exists);
  EXPECT_EQ(state.size, 5u);
  EXPECT_EQ(state.lastWrite, (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                 data.ftLastWriteTime.dwLowDateTime);
  EXPECT_FALSE(StateOfFile(temp / "missing.ini").exists);
  EXPECT_FALSE(StateOfFile(temp / "missing\\a.ini").exists);
}

// ---------------------------------------------------------------- removing trees

// Builds a small profile-like tree under `root`.
void MakeTree(const std::string& root) {
  ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((root + "\\Default").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((root + "\\Default\\Cache").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((root + "\\Default\\Cache\\deep").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(root + "\\Local State", "x"));
  ASSERT_TRUE(WriteWholeFile(root + "\\Default\\Cookies", "x"));
  ASSERT_TRUE(WriteWholeFile(root + "\\Default\\Cache\\deep\\data_0", "x"));
}

TEST(RemoveFolderTree, RemovesNestedFoldersAndFiles) {
  TempFolder temp;
  ASSERT_NO_FATAL_FAILURE(MakeTree(temp / "qnv"));
  EXPECT_TRUE(RemoveFolderTree(temp / "qnv", temp.path()));
  EXPECT_FALSE(FolderExists(temp / "qnv"));
}

TEST(RemoveFolderTree, LeadingSpacesAreSkippedAndRelativePathsUseTheCurrentFolder) {
  TempFolder temp;
  ASSERT_NO_FATAL_FAILURE(MakeTree(temp / "qnv"));
  CurrentFolderScope here(temp.path());
  EXPECT_TRUE(RemoveFolderTree("   qnv", temp.path()));
  EXPECT_FALSE(FolderExists(temp / "qnv"));
}

TEST(RemoveFolderTree, NothingToRemove) {
  TempFolder temp;
  EXPECT_FALSE(RemoveFolderTree("", temp.path()));
  EXPECT_FALSE(RemoveFolderTree("    ", temp.path()));
  EXPECT_FALSE(RemoveFolderTree(temp / "missing", temp.path()));
  ASSERT_TRUE(WriteWholeFile(temp / "plain-file", "x"));
  EXPECT_FALSE(RemoveFolderTree(temp / "plain-file", temp.path()));
  EXPECT_TRUE(FileExists(temp / "plain-file"));
}

TEST(RemoveFolderTree, EntriesBeginningWithADotStayWithTheirFolders) {
  TempFolder temp;
  const std::string root = temp / "qnv";
  ASSERT_NO_FATAL_FAILURE(MakeTree(root));
  ASSERT_TRUE(WriteWholeFile(root + "\\Default\\.keep", "dot file"));
  ASSERT_TRUE(CreateDirectoryA((root + "\\.hidden").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(root + "\\.hidden\\inner", "inside a dot folder"));

  EXPECT_FALSE(RemoveFolderTree(root, temp.path()));

  EXPECT_EQ(ReadWholeFile(root + "\\Default\\.keep"), "dot file");
  EXPECT_EQ(ReadWholeFile(root + "\\.hidden\\inner"), "inside a dot folder");
  EXPECT_FALSE(FileExists(root + "\\Local State"));
  EXPECT_FALSE(FileExists(root + "\\Default\\Cookies"));
  EXPECT_FALSE(FolderExists(root + "\\Default\\Cache"));
}

TEST(RemoveFolderTree, ALockedFileIsPassedOverAndTheRestGoes) {
  TempFolder temp;
  const std::string root = temp / "qnv";
  ASSERT_NO_FATAL_FAILURE(MakeTree(root));
  {
    UniqueFile held = OpenHeld(root + "\\Default\\Cookies", GENERIC_READ, 0);
    ASSERT_TRUE(held);
    EXPECT_FALSE(RemoveFolderTree(root, temp.path()));
  }
  EXPECT_TRUE(FileExists(root + "\\Default\\Cookies"));
  EXPECT_FALSE(FileExists(root + "\\Local State"));
  EXPECT_FALSE(FolderExists(root + "\\Default\\Cache"));
  EXPECT_TRUE(RemoveFolderTree(root, temp.path()));
}

// A drive letter whose root is a scratch folder, so that the refusal of drive
// roots is tested where a fault would cost nothing. Never test it on a real
// drive: "C:" lists as "C:\\*.*", the whole drive, not its current folder. Wine's mount manager maps
// a letter to a Unix folder; on Windows, DefineDosDevice does the same.
class ScratchDrive {
 public:
  explicit ScratchDrive(const std::string& folder) {
    const DWORD used = GetLogicalDrives();
    for (char c = 'P'; c <= 'Y'; ++c)
      if (!(used & (1u << (c - 'A')))) {
        letter_ = c;
        break;
      }
    if (!letter_) return;
    if (DefineOnWine(folder) || DefineDosDeviceA(0, root().substr(0, 2).c_str(), folder.c_str())) defined_ = true;
  }
  ~ScratchDrive() {
    if (!defined_) return;
    if (wine_)
      DefineOnWine({});
    else
      DefineDosDeviceA(DDD_REMOVE_DEFINITION, root().substr(0, 2).c_str(), nullptr);
  }
  // Only a letter through which the scratch folder's sentinel is seen counts.
  bool usable() const { return defined_ && FileExists(root() + "sentinel"); }
  std::string root() const { return std::string(1, letter_) + ":\\"; }

 private:
  struct UnixDrive {  // Wine's mount manager request
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset, deviceOffset, labelOffset;
  };

  // Maps the letter to the folder's Unix path, or removes it when `folder` is empty.
  bool DefineOnWine(const std::string& folder) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return false;
    std::string unixPath;
    if (!folder.empty()) {
      const char* name = unixName(test::Widen(folder).c_str());
      if (!name) return false;
      unixPath = name;
      HeapFree(GetProcessHeap(), 0, const_cast<char*>(name));
    }
    UniqueFile manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!manager) return false;
    std::vector<char> request(sizeof(UnixDrive) + unixPath.size() + 1, '\0');
    UnixDrive drive{};
    drive.size = static_cast<ULONG>(request.size());
    drive.type = DRIVE_FIXED;
    drive.letter = static_cast<WCHAR>(letter_ - 'A' + 'a');
    drive.mountPointOffset = unixPath.empty() ? 0 : sizeof(UnixDrive);
    std::memcpy(request.data(), &drive, sizeof drive);
    std::memcpy(request.data() + sizeof drive, unixPath.c_str(), unixPath.size());
    const DWORD defineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
    DWORD returned = 0;
    wine_ = DeviceIoControl(manager.get(), defineUnixDrive, request.data(), static_cast<DWORD>(request.size()), nullptr,
                            0, &returned, nullptr) != FALSE;
    return wine_;
  }

  char letter_ = 0;
  bool defined_ = false;
  bool wine_ = false;
};

TEST(RemoveFolderTree, DriveRootsAreRefused) {
  TempFolder temp;
  ASSERT_TRUE(WriteWholeFile(temp / "sentinel", "must survive"));
  ASSERT_TRUE(CreateDirectoryA((temp / "folder").c_str(), nullptr));
  ScratchDrive drive(temp.path());
  if (!drive.usable()) GTEST_SKIP() << "no drive letter could be mapped to a scratch folder here";
  const std::string letter = drive.root().substr(0, 1);
  std::string lower = letter;
  lower[0] = static_cast<char>(lower[0] - 'A' + 'a');
  for (const std::string& path : {letter + ":", letter + ":\\", lower + ":\\", "  " + letter + ":\\", letter + ":/",
                                  letter + ":\\\\", std::string("\\"), std::string("/")}) {
    // The current folder is the scratch root, so "\" names it too.
    CurrentFolderScope onDrive(drive.root());
    EXPECT_FALSE(RemoveFolderTree(path, drive.root())) << path;
    EXPECT_EQ(ReadWholeFile(temp / "sentinel"), "must survive") << path;
    EXPECT_TRUE(FolderExists(temp / "folder")) << path;
  }
  // Below the root the same drive works as usual.
  EXPECT_TRUE(RemoveFolderTree(drive.root() + "folder", drive.root()));
  EXPECT_FALSE(FolderExists(temp / "folder"));
}

// A directory link to `target`: a symbolic link, else a mount-point junction.
bool MakeDirectoryLink(const std::string& link, const std::string& target) {
  if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* unprivileged create */)) {
    const DWORD a = GetFileAttributesA(link.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    RemoveDirectoryA(link.c_str());
  }
  if (!CreateDirectoryA(link.c_str(), nullptr)) return false;
  UniqueFile folder(CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  const std::wstring substitute = test::Widen("\\??\\" + target);
  // Mount-point reparse data: tag, data length, reserved, then the substitute
  // and print names (the print name left empty), each ending in a zero.
  const USHORT nameBytes = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
  const USHORT dataLength = static_cast<USHORT>(8 + nameBytes + 2 * sizeof(wchar_t));
  std::vector<char> data(8 + dataLength, '\0');
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  const USHORT header[] = {dataLength, 0, 0, nameBytes, static_cast<USHORT>(nameBytes + sizeof(wchar_t)), 0};
  std::memcpy(data.data(), &tag, 4);
  std::memcpy(data.data() + 4, header, sizeof header);
  std::memcpy(data.data() + 16, substitute.data(), nameBytes);
  DWORD returned = 0;
  const bool made = folder && DeviceIoControl(folder.get(), FSCTL_SET_REPARSE_POINT, data.data(),
                                              static_cast<DWORD>(data.size()), nullptr, 0, &returned, nullptr);
  folder.reset();
  const DWORD a = GetFileAttributesA(link.c_str());
  if (made && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  RemoveDirectoryA(link.c_str());
  return false;
}

TEST(RemoveFolderTree, ALinkInsideIsRemovedAsALinkAndItsTargetSurvives) {
  TempFolder temp;
  const std::string outside = temp / "outside";
  ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(outside + "\\precious", "data outside the tree"));
  const std::string root = temp / "qnv";
  ASSERT_NO_FATAL_FAILURE(MakeTree(root));
  if (!MakeDirectoryLink(root + "\\Default\\link", outside))
    GTEST_SKIP() << "this system makes neither symbolic links nor junctions (Wine 8 lacks both)";
  ASSERT_TRUE(FileExists(root + "\\Default\\link\\precious"));

  EXPECT_TRUE(RemoveFolderTree(root, temp.path()));
  EXPECT_FALSE(FolderExists(root));
  EXPECT_EQ(ReadWholeFile(outside + "\\precious"), "data outside the tree");
}

TEST(RemoveFolderTree, AFolderThatIsItselfALinkLosesOnlyTheLink) {
  TempFolder temp;
  const std::string outside = temp / "outside";
  ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(outside + "\\precious", "data outside the tree"));
  if (!MakeDirectoryLink(temp / "qnv", outside))
    GTEST_SKIP() << "this system makes neither symbolic links nor junctions (Wine 8 lacks both)";
  EXPECT_TRUE(RemoveFolderTree(temp / "qnv", temp.path()));
  EXPECT_FALSE(FolderExists(temp / "qnv"));
  EXPECT_EQ(ReadWholeFile(outside + "\\precious"), "data outside the tree");
}

// Only what lies strictly inside the container is touched, however the path
// is spelled; the program folder is the container when none is given.
TEST(RemoveFolderTree, RefusesEveryPathNotStrictlyInsideTheContainer) {
  TempFolder temp;
  const std::string program = temp / "program";
  ASSERT_TRUE(CreateDirectoryA(program.c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(program + "\\sentinel", "program"));
  ASSERT_TRUE(CreateDirectoryA((temp / "program-other").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(temp / "program-other\\sentinel", "beside"));
  ASSERT_TRUE(WriteWholeFile(temp / "sentinel", "parent"));
  CurrentFolderScope here(program);
  const std::string drive = program.substr(0, 2);
  const std::string refused[] = {".",
                                 "..",
                                 ".\\",
                                 "..\\program-other",
                                 "qnv\\..",
                                 "qnv\\..\\..\\program-other",
                                 program,
                                 program + "\\",
                                 program + "\\.",
                                 program + "\\qnv\\..",
                                 temp.path(),
                                 program + "-other",
                                 drive + "\\.",
                                 "\\\\?\\" + drive + "\\",
                                 "\\\\.\\" + drive + "\\",
                                 "\\\\server\\share",
                                 "\\\\?\\" + program + "\\qnv"};
  for (const std::string& path : refused) {
    EXPECT_FALSE(RemoveFolderTree(path, program)) << path;
    EXPECT_EQ(ReadWholeFile(program + "\\sentinel"), "program") << path;
    EXPECT_EQ(ReadWholeFile(temp / "program-other\\sentinel"), "beside") << path;
    EXPECT_EQ(ReadWholeFile(temp / "sentinel"), "parent") << path;
  }
  // The same folder written in another case, with a closing backslash or a
  // detour, is inside.
  for (const std::string& path :
       {std::string("qnv"), std::string("QNV\\"), std::string("x\\..\\qnv"), program + "\\qnv"}) {
    ASSERT_NO_FATAL_FAILURE(MakeTree(program + "\\qnv"));
    std::string container = program;
    for (char& c : container)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    EXPECT_TRUE(RemoveFolderTree(path, container)) << path;
    EXPECT_FALSE(FolderExists(program + "\\qnv")) << path;
  }
  // Without a container: the program folder, which holds none of this.
  ASSERT_NO_FATAL_FAILURE(MakeTree(program + "\\qnv"));
  EXPECT_FALSE(RemoveFolderTree(program + "\\qnv"));
  EXPECT_TRUE(FolderExists(program + "\\qnv\\Default\\Cache\\deep"));
}

TEST(RemoveFolderTree, ReadOnlyFilesAndFoldersGoToo) {
  TempFolder temp;
  const std::string root = temp / "qnv";
  ASSERT_NO_FATAL_FAILURE(MakeTree(root));
  ASSERT_TRUE(SetFileAttributesA((root + "\\Local State").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA((root + "\\Default\\Cache\\deep\\data_0").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA((root + "\\Default\\Cache").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(RemoveFolderTree(root, temp.path()));
  EXPECT_FALSE(FolderExists(root));
}

TEST(RemoveFolderTree, FoldersToKeepStayWholeWithTheFoldersAboveThem) {
  TempFolder temp;
  const std::string root = temp / "qnv";
  ASSERT_TRUE(EnsureFolderPath(root + "\\shop\\"));
  ASSERT_NO_FATAL_FAILURE(MakeTree(root + "\\running"));
  ASSERT_NO_FATAL_FAILURE(MakeTree(root + "\\shop\\nested"));
  ASSERT_NO_FATAL_FAILURE(MakeTree(root + "\\closed"));
  std::vector<std::string> asked;
  const auto keep = [&](const std::string& folder) {
    asked.push_back(folder);
    return folder == root + "\\running" || folder == root + "\\shop\\nested";
  };
  EXPECT_FALSE(RemoveFolderTree(root, temp.path(), keep));
  EXPECT_EQ(ReadWholeFile(root + "\\running\\Default\\Cookies"), "x");
  EXPECT_EQ(ReadWholeFile(root + "\\shop\\nested\\Local State"), "x");
  EXPECT_FALSE(FolderExists(root + "\\closed"));
  // Asked with full paths, and never about what lies inside a kept folder.
  for (const std::string& folder : asked) EXPECT_EQ(folder.rfind(root, 0), 0u) << folder;
  for (const std::string& folder : asked) EXPECT_EQ(folder.find("running\\"), std::string::npos) << folder;
}

// ---------------------------------------------------------------- names the code page cannot spell

// Thai, an emoji (two UTF-16 units), a full-width backslash and full-width
// dots. Under 1252 the ANSI functions spell the last two as "\" and ".", so
// "x＼．．＼．．＼outside" reads as a path to a sibling of the profile root;
// under 936 Thai and the emoji read as "?".
#define THAI L"\u0e44\u0e17\u0e22"
#define EMOJI L"\U0001F600"
#define WIDE_BACKSLASH L"\uff3c"
#define WIDE_DOTS L"\uff0e\uff0e"

// A folder nested below `qnv\deep` past MAX_PATH.
std::wstring DeepFolder() {
  std::wstring path = L"qnv\\deep\\";
  while (path.size() < 2 * MAX_PATH) path += L"0123456789abcdef\\";
  return path;
}

struct WideTreeCase {
  const char* name;
  std::vector<std::wstring> made;      // below the program folder; "x\" is a folder
  std::vector<std::wstring> readOnly;  // of those, marked read-only
  std::vector<std::wstring> kept;      // folders below the program folder that the caller keeps
  bool removed;                        // RemoveFolderTree's result
  std::vector<std::wstring> left;      // the program folder's whole listing afterwards
};

void PrintTo(const WideTreeCase& c, std::ostream* out) { *out << c.name; }

class RemoveWideTree : public testing::TestWithParam<WideTreeCase> {};

TEST_P(RemoveWideTree, ClearsTheRootByItsRealNamesAndNothingBeside) {
  const WideTreeCase& c = GetParam();
  TempFolder temp;
  const std::string program = temp / "program";
  ASSERT_TRUE(CreateDirectoryA(program.c_str(), nullptr));
  const std::wstring base = test::LongPath(program);
  for (const std::wstring& relative : c.made) ASSERT_TRUE(test::MakeWide(base, relative)) << test::Narrow(relative);
  for (const std::wstring& relative : c.readOnly)
    ASSERT_TRUE(test::MarkReadOnly(base, relative)) << test::Narrow(relative);
  std::vector<std::string> keptPaths;
  for (const std::wstring& relative : c.kept) keptPaths.push_back(program + "\\" + test::Narrow(relative));
  const KeepFolder keep = [&](const std::string& folder) {
    return std::find(keptPaths.begin(), keptPaths.end(), folder) != keptPaths.end();
  };

  EXPECT_EQ(RemoveFolderTree(program + "\\qnv", program, keep), c.removed);
  std::vector<std::wstring> left = c.left;
  std::sort(left.begin(), left.end());
  EXPECT_EQ(test::WideListing(base), left);
}

INSTANTIATE_TEST_SUITE_P(
    NamesOutsideTheCodePage, RemoveWideTree,
    testing::Values(
        WideTreeCase{"ThaiAndEmojiNamesGoWhole",
                     {L"qnv\\" THAI L"\\Default\\Cookies", L"qnv\\" EMOJI L".log", L"qnv\\Default\\" THAI EMOJI L"\\0",
                      L"qnv\\" THAI EMOJI L"\\", L"config.ini", L"" THAI L"\\" EMOJI},
                     {},
                     {},
                     true,
                     {L"config.ini", L"" THAI L"\\", L"" THAI L"\\" EMOJI}},
        WideTreeCase{
            "AFullWidthBackslashNamesOneEntryAndLeadsNowhere",
            {L"qnv\\x" WIDE_BACKSLASH WIDE_DOTS WIDE_BACKSLASH WIDE_DOTS WIDE_BACKSLASH L"outside\\Cookies",
             L"qnv\\x\\", L"qnv\\a" WIDE_BACKSLASH L"b", L"outside\\precious", L"outside\\sub\\more", L"qnv-old\\a\\b"},
            {},
            {},
            true,
            {L"outside\\", L"outside\\precious", L"outside\\sub\\", L"outside\\sub\\more", L"qnv-old\\",
             L"qnv-old\\a\\", L"qnv-old\\a\\b"}},
        WideTreeCase{"AKeptFolderStaysWholeAndItsLookAlikesGo",
                     {L"qnv\\shop\\Cookies", L"qnv\\\uff53\uff48\uff4f\uff50\\Cookies",
                      L"qnv\\x" WIDE_BACKSLASH WIDE_DOTS WIDE_BACKSLASH L"shop\\Cache"},
                     {},
                     {L"qnv\\shop"},
                     false,
                     {L"qnv\\", L"qnv\\shop\\", L"qnv\\shop\\Cookies"}},
        WideTreeCase{
            "DotNamesStayWithTheFoldersAboveThem",
            {L"qnv\\." THAI L"\\x", L"qnv\\" THAI L"\\.keep", L"qnv\\" THAI L"\\gone", L"qnv\\" EMOJI L"\\"},
            {},
            {},
            false,
            {L"qnv\\", L"qnv\\." THAI L"\\", L"qnv\\." THAI L"\\x", L"qnv\\" THAI L"\\", L"qnv\\" THAI L"\\.keep"}},
        WideTreeCase{"ReadOnlyEntriesGo",
                     {L"qnv\\" THAI L"\\" EMOJI, L"qnv\\" EMOJI L"\\", L"outside"},
                     {L"qnv\\" THAI L"\\" EMOJI, L"qnv\\" THAI L"\\", L"qnv\\" EMOJI L"\\", L"outside"},
                     {},
                     true,
                     {L"outside (read-only)"}},
        WideTreeCase{
            "NamesTheAnsiFunctionsCutOrCannotReach",
            {L"qnv\\Cache.\\data", L"qnv\\name \\file", L"qnv\\Cache\\data", DeepFolder() + THAI, L"Cache\\data"},
            {},
            {},
            true,
            {L"Cache\\", L"Cache\\data"}}),
    [](const testing::TestParamInfo<WideTreeCase>& info) { return std::string(info.param.name); });

TEST(DropReadOnlyInTree, ReachesNamesOutsideTheCodePageAndNothingBeside) {
  TempFolder temp;
  const std::wstring base = test::LongPath(temp.path());
  const std::vector<std::wstring> made = {L"profile\\" THAI L"\\" EMOJI,
                                          L"profile\\x" WIDE_BACKSLASH WIDE_DOTS WIDE_BACKSLASH L"outside\\",
                                          L"profile\\." THAI, L"outside\\precious"};
  for (const std::wstring& relative : made) ASSERT_TRUE(test::MakeWide(base, relative)) << test::Narrow(relative);
  for (const std::wstring& relative : made) ASSERT_TRUE(test::MarkReadOnly(base, relative)) << test::Narrow(relative);
  ASSERT_TRUE(test::MarkReadOnly(base, L"profile\\" THAI L"\\"));

  DropReadOnlyInTree(temp / "profile");

  std::vector<std::wstring> left = {L"outside\\",
                                    L"outside\\precious (read-only)",
                                    L"profile\\",
                                    L"profile\\." THAI,
                                    L"profile\\x" WIDE_BACKSLASH WIDE_DOTS WIDE_BACKSLASH L"outside\\",
                                    L"profile\\" THAI L"\\",
                                    L"profile\\" THAI L"\\" EMOJI};
  std::sort(left.begin(), left.end());
  EXPECT_EQ(test::WideListing(base), left);
}

TEST(DropReadOnlyInTree, LeavesNothingReadOnlyBelowTheFolder) {
  TempFolder temp;
  const std::string root = temp / "profile";
  ASSERT_NO_FATAL_FAILURE(MakeTree(root));
  const std::string marked[] = {root + "\\Local State", root + "\\Default\\Cache",
                                root + "\\Default\\Cache\\deep\\data_0"};
  for (const std::string& path : marked) ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  DropReadOnlyInTree(root);
  for (const std::string& path : marked)
    EXPECT_FALSE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY) << path;
  EXPECT_TRUE(WriteWholeFile(root + "\\Local State", "written again"));
}

TEST(HasLinkBelow, FindsALinkOnTheWayDownOnly) {
  TempFolder temp;
  const std::string root = temp / "qnv";
  ASSERT_TRUE(EnsureFolderPath(root + "\\a\\"));
  ASSERT_NO_FATAL_FAILURE(MakeTree(root + "\\a\\b"));
  // Plain folders, existing or not, and double-byte names whose second byte is 0x5C.
  for (const char* relative : {"a", "a\\b", "a\\b\\c", "missing\\x", "\x95\x5C", ""})
    EXPECT_FALSE(HasLinkBelow(root, relative)) << relative;
  EXPECT_FALSE(IsLink(root));

  const std::string outside = temp / "outside";
  ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
  if (!MakeDirectoryLink(root + "\\a\\link", outside))
    GTEST_SKIP() << "this system makes neither symbolic links nor junctions (Wine 8 lacks both)";
  EXPECT_TRUE(IsLink(root + "\\a\\link"));
  EXPECT_TRUE(HasLinkBelow(root, "a\\link"));
  EXPECT_TRUE(HasLinkBelow(root, "a\\link\\x"));
  EXPECT_FALSE(HasLinkBelow(root, "a\\b"));
  EXPECT_FALSE(HasLinkBelow(root, "a\\linkx"));
}

// ---------------------------------------------------------------- ensuring paths

TEST(EnsureFolderPath, TheClosingBackslashDecidesWhetherTheLastFolderIsMade) {
  TempFolder temp;
  EXPECT_TRUE(EnsureFolderPath(temp / "qnv\\123"));
  EXPECT_TRUE(FolderExists(temp / "qnv"));
  EXPECT_FALSE(FolderExists(temp / "qnv\\123"));

  EXPECT_TRUE(EnsureFolderPath(temp / "qnv\\123\\"));
  EXPECT_TRUE(FolderExists(temp / "qnv\\123"));
  // Existing folders are fine.
  EXPECT_TRUE(EnsureFolderPath(temp / "qnv\\123\\"));
}

TEST(EnsureFolderPath, MakesNestedFoldersFromTheRootDown) {
  TempFolder temp;
  EXPECT_TRUE(EnsureFolderPath(temp / "a\\b\\c\\d\\"));
  EXPECT_TRUE(FolderExists(temp / "a\\b\\c\\d"));
}

TEST(EnsureFolderPath, RelativePathsUseTheCurrentFolder) {
  TempFolder temp;
  CurrentFolderScope here(temp.path());
  EXPECT_TRUE(EnsureFolderPath("qnv\\acc\\"));
  EXPECT_TRUE(FolderExists(temp / "qnv\\acc"));
}

TEST(EnsureFolderPath, DoubleByteNamesWhoseSecondByteIsABackslash) {
  TempFolder temp;
  // "\x95\x5c" is one character of code page 936 whose second byte is '\\'.
  const std::string name =
      "a\x95\x5c"
      "b";
  EXPECT_TRUE(EnsureFolderPath(temp / name + "\\"));
  EXPECT_TRUE(FolderExists(temp / name));
  // No folder named after the half character before the byte 0x5C.
  EXPECT_EQ(Entries(temp.path()), std::vector<std::string>{name});
}

TEST(EnsureFolderPath, FailsWhereAFolderCannotBeMade) {
  TempFolder temp;
  ASSERT_TRUE(WriteWholeFile(temp / "file", "x"));
  EXPECT_FALSE(EnsureFolderPath(temp / "file\\sub\\"));
  EXPECT_FALSE(EnsureFolderPath(temp / "file\\"));  // a file is not a folder
  EXPECT_FALSE(EnsureFolderPath(temp / "bad|name\\"));
  EXPECT_FALSE(EnsureFolderPath(temp / std::string(300, 'x') + "\\"));
  EXPECT_FALSE(FolderExists(temp / "bad|name"));
}

}  // namespace

#pragma once
// Helpers for the tests that run under Wine: temporary folders, whole files,
// bounded waits, and child programs that never outlive a test.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/bytes.h"
#include "host/handles.h"

namespace test {

// The folder that holds the running test program (and every other program of
// the build), without a trailing backslash.
std::string BinFolder();

// A fresh, empty folder under %TEMP% (or under `base`), removed with all its
// contents when the object goes away.
class TempFolder {
 public:
  TempFolder();
  explicit TempFolder(const std::string& base);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  // path() + "\" + relative.
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

 private:
  std::string path_;
};

// A folder outside %TEMP% for folders that must look lasting (the program
// warns when it runs from inside the temporary folder); made when missing.
std::string LastingFolderRoot();

// Removes a folder and everything below it, links as links (test cleanup only).
void RemoveTree(const std::string& path);

// Trees of wide names, made and read on "\\?\" paths whatever the code page
// can spell. LongPath gives a folder's "\\?\" form; MakeWide makes
// `relative` below `base` (the folders on the way, then a file unless it ends
// with a backslash; only a real backslash separates); WideListing gives every
// entry below `base` in name order, folders ending with a backslash and
// read-only entries with " (read-only)" (links are not entered).
std::wstring LongPath(const std::string& folder);
bool MakeWide(const std::wstring& base, const std::wstring& relative);
bool MarkReadOnly(const std::wstring& base, std::wstring relative);
std::vector<std::wstring> WideListing(const std::wstring& base);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Every folder of the full path, from the top down; true when the last exists.
bool MakeFolders(const std::string& path);
std::string ReadWholeFile(const std::string& path);  // empty when missing
bool WriteWholeFile(const std::string& path, const std::string& bytes);
Bytes AsBytes(const std::string& bytes);
std::string AsString(const Bytes& bytes);

// Copies a file from the build's bin folder into `folder` (under the same name
// or `as`); false when it fails.
bool CopyFromBin(const std::string& name, const std::string& folder, const std::string& as = {});

// Polls `done` until it is true, pumping this thread's messages meanwhile;
// false when `timeout` passes first.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Pumps this thread's pending messages for about `duration`.
void PumpMessagesFor(std::chrono::milliseconds duration);

// A program started for a test; killed when the object goes away unless it
// has ended. Environment entries ("NAME=value") are added to this process's.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&&) = default;
  ~ChildProcess();

  bool Start(const std::string& commandLine, const std::string& currentFolder = {},
             const std::vector<std::string>& extraEnvironment = {});
  bool running() const;
  DWORD id() const { return id_; }
  HANDLE handle() const { return process_.get(); }
  // The exit code, or nothing when it has not ended within `timeout`.
  bool WaitForExit(DWORD& exitCode, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  void Kill();

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

// The first top-level window of the process whose title equals `title` (any
// title when empty), waiting at most `timeout`; 0 when none appears.
HWND WaitForProcessWindow(DWORD processId, const std::string& title,
                          std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Wide text of an ANSI (code page 936 here) text, and back; for comparing
// captions the program sets through the wide API.
std::wstring Widen(const std::string& ansi);
std::string Narrow(const std::wstring& wide);

// Whether SeDebugPrivilege is enabled in this process's token; nullopt when
// the token does not hold it.
std::optional<bool> DebugPrivilegeEnabled();

}  // namespace test

#pragma once
// Whole files and folder trees. Paths are ANSI texts; relative paths are
// taken from the current folder, which is the program folder at run time.

#include <functional>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/bytes.h"

// The folder that holds the program file, without a trailing backslash.
// Empty when its path cannot be had or cannot be spelled in the ANSI code
// page (every path of the program is an ANSI text).
std::string ProgramFolder();

// The whole file; empty when the path is empty, the file is missing, locked
// against reading, a folder, or empty.
Bytes ReadFileBytes(const std::string& path);

enum class ReadOutcome {
  kRead,        // the whole file is in the bytes (none for an empty file)
  kMissing,     // no file by that name
  kUnreadable,  // it exists but could not be opened or read, does not fit in
                // memory or is larger than the limit
};

// The whole file when it holds at most `limit` bytes. A larger file is never
// read into memory. `lastWrite`, when given, gets the file's last write time
// (FILETIME ticks) as it stood while it was read.
ReadOutcome ReadFileWithin(const std::string& path, std::uint64_t limit, Bytes& data,
                           std::uint64_t* lastWrite = nullptr);

// The size and last write time of a file, as the system keeps them.
struct FileState {
  bool exists = false;
  std::uint64_t size = 0;
  std::uint64_t lastWrite = 0;  // FILETIME ticks
};
// `exists` is false only when no file (nor anything else) has that name; a
// name that cannot be looked at counts as an existing file of unknown state.
FileState StateOfFile(const std::string& path);

// Creates or truncates the file and writes the parts in order. False for an
// empty path or when the file cannot be opened or written.
bool WriteFileBytes(const std::string& path, const std::vector<Bytes>& parts);
bool WriteFileBytes(const std::string& path, const Bytes& data);
// The same, but other programs may read, write or delete the file meanwhile.
bool WriteSharedFileBytes(const std::string& path, const Bytes& data);

// How a write of a whole file ended, and why it failed.
enum class WriteOutcome {
  kWritten,
  kFolderRefused,  // no file may be made in the folder (access denied, write-protected, missing)
  kDiskFull,
  kHeld,      // another program holds the file past the retry
  kReadOnly,  // the file is read-only (or is a folder)
  kFailed,    // any other error of the system
};

// Replaces the file as a whole or not at all: the bytes go to a temporary
// file in the same folder, are flushed, and that file is then moved over the
// target. On any failure the old file stays as it was and no temporary file is
// left behind.
WriteOutcome ReplaceFileBytes(const std::string& path, const Bytes& data);

// Writes a new file whole, or leaves none: through a temporary file beside it
// that is moved to the name, which must not exist yet. Nothing is retried or
// waited for, and nothing is flushed: for copies that may be lost.
bool WriteNewFileWhole(const std::string& path, const Bytes& data);

// True when a file can be made in the folder: a temporary file of the
// program's own pattern is made there and removed again.
bool CanWriteInFolder(const std::string& folder);

// Answers, for the full path of a folder met in a removal (as an ANSI text,
// like every path the program names), whether it stays with everything it
// holds. A folder whose path the code page cannot spell is never asked about:
// it is none of the program's own.
using KeepFolder = std::function<bool(const std::string& fullPath)>;
// Removes the temporary files that ReplaceFileBytes leaves in `folder` when
// its writer is ended between writing and moving them, once that writer is
// no longer running. No other file is touched.
void RemoveLeftoverTemporaryFiles(const std::string& folder);
// The same for the folder of `target`, except when `target` is missing: then
// the newest leftover that holds any byte (by its last write time) becomes
// `target`, since on a FAT drive a move over a file is a removal and then a
// move, and a save cut off between them leaves only its complete temporary
// file. The other leftovers go.
void SweepLeftoverTemporaryFiles(const std::string& target);

// Removes the folder and everything below it except entries whose names begin
// with a dot, the folders `keep` names, and the folders that hold them.
// Read-only entries go too. Only a path that lies strictly inside `container`
// once both are made full paths is touched: the container itself, a drive
// root, a share and any place outside are refused. The tree is walked by the
// names the system gives, whatever the code page can spell, and every entry
// touched lies strictly inside the folder. A junction or symbolic link is
// removed as a link; what it points to is never entered (other reparse
// points are ordinary folders). True when the folder itself was removed.
bool RemoveFolderTree(std::string_view path, std::string_view container, const KeepFolder& keep = {});
// The same inside the program folder.
bool RemoveFolderTree(std::string_view path);

// Drops the read-only attribute of every file and folder below `folder`
// (links are not followed, names are taken as the system gives them), so that
// a later refresh or clear can replace them.
void DropReadOnlyInTree(const std::string& folder);

// True when the path names a junction or a symbolic link.
bool IsLink(const std::string& path);

// True when `folder` or any folder on the way down to `folder\relative` is a
// junction or a symbolic link (`relative` is split at its real backslashes).
bool HasLinkBelow(const std::string& folder, std::string_view relative);

// True when the path names an existing file (not a folder).
bool IsExistingFile(const std::string& path);
// True when the path names an existing folder.
bool IsExistingFolder(const std::string& path);

// Creates every missing folder named in the path up to its last backslash.
// True when they all exist afterwards.
bool EnsureFolderPath(const std::string& path);

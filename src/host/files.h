#pragma once
// Whole files and folder trees. Paths are ANSI texts; relative paths are
// taken from the current folder, which is the program folder at run time.

#include <string>
#include <string_view>
#include <vector>

#include "host/bytes.h"

// The folder that holds the program file, without a trailing backslash.
std::string ProgramFolder();

// The whole file; empty when the path is empty, the file is missing, locked
// against reading, a folder, or empty.
Bytes ReadFileBytes(const std::string& path);

// Creates or truncates the file and writes the parts in order. False for an
// empty path or when the file cannot be opened or written.
bool WriteFileBytes(const std::string& path, const std::vector<Bytes>& parts);
bool WriteFileBytes(const std::string& path, const Bytes& data);
// The same, but other programs may read, write or delete the file meanwhile.
bool WriteSharedFileBytes(const std::string& path, const Bytes& data);

// Replaces the file as a whole or not at all: the bytes go to a temporary
// file in the same folder, are flushed, and that file is then moved over the
// target. On any failure the old file stays as it was and no temporary file is
// left behind.
bool ReplaceFileBytes(const std::string& path, const Bytes& data);

// Removes the folder and everything below it except entries whose names begin
// with a dot (and the folders that hold them). A drive root is refused. A
// junction or symbolic link is removed as a link; what it points to is never
// entered. True when the folder itself was removed.
bool RemoveFolderTree(std::string_view path);

// True when the path names an existing file (not a folder).
bool IsExistingFile(const std::string& path);

// Creates every missing folder named in the path up to its last backslash.
// True when they all exist afterwards.
bool EnsureFolderPath(const std::string& path);

#pragma once
// A generated template profile of realistic shape, and the plain copy of a
// folder tree that the launch benchmark compares against.

#include <string>

struct TreeSize {
  int files = 0;
  long long bytes = 0;
  bool operator==(const TreeSize& other) const { return files == other.files && bytes == other.bytes; }
};

// Writes `files` files of `bytes` bytes in all below `root` (made when
// missing): many small files and a few large ones, in nested folders.
bool WriteTemplateTree(const std::string& root, int files, long long bytes);

TreeSize SizeOfTree(const std::string& root);

// Empties every `step`-th file below `root` (in the order the folders list
// them); false when one could not be emptied.
bool EmptyEvery(const std::string& root, int step);

// Copies the tree below `source` into `destination` (made when missing) file by
// file with CopyFileW, replacing files that are there already.
bool CopyTreeWithCopyFile(const std::wstring& source, const std::wstring& destination);

#include "launcher/account_storage.h"

#include <cstdint>
#include <exception>
#include <string>

#include "host/cipher.h"
#include "host/files.h"
#include "host/list_control.h"
#include "host/list_view.h"
#include "host/memory_file.h"
#include "host/text.h"
#include "host/list_content.h"
#include "launcher/backups.h"
#include "listview/list_view_access.h"

namespace {

// A constant of the program, the same for writing and reading.
constexpr char kPassword[] = "qeza";

// Appends each row's record and its cells' records to the memory file. False
// when a record could not be added. A list without images reports 0 for a
// cell's image, which would name the first image: such a cell is stored
// without one (-1), as its row is.
bool AppendListContent(ListViewAccess& list, const ListView& cells, bool hasImages, std::int32_t file) {
  const std::int32_t columns = list.GetColumnCount();
  const std::int32_t rows = list.GetItemCount();
  for (std::int32_t r = 0; r < rows; ++r) {
    if (!InsertFileBytes(file, EncodeRowRecord(list.GetCellImage(r, 0), list.GetItemParam(r), cells.GetItemText(r, 0))))
      return false;
    for (std::int32_t c = 1; c < columns; ++c) {
      const std::int32_t image = hasImages ? list.GetCellImage(r, c) : -1;
      if (!InsertFileBytes(file, EncodeCellRecord(image, cells.GetItemText(r, c)))) return false;
    }
  }
  return true;
}

}  // namespace

bool ReadOutListContent(HWND window, Bytes& plain) {
  ListViewAccess list;
  if (!list.Bind(window)) return false;
  MemoryFileScope file;
  if (file.get() == 0 || !AppendListContent(list, ListView(window), ListHasImages(window), file.get())) return false;
  const std::int64_t length = FileLength(file.get());
  if (length < 0 || !SeekFile(file.get(), kSeekStart, 0)) return false;
  plain = ReadFileRange(file.get(), length);
  return static_cast<std::int64_t>(plain.size()) == length;
}

namespace {

// A virus scanner or a backup tool may hold the file for a moment: a refusal
// is tried again for a while before it counts.
ReadOutcome ReadWithRetries(const std::string& path, Bytes& stored, std::uint64_t& lastWrite, int attempts,
                            DWORD pauseMs) {
  ReadOutcome outcome = ReadFileWithin(path, kStoredListLimit, stored, &lastWrite);
  for (int attempt = 1; outcome == ReadOutcome::kUnreadable && attempt < attempts; ++attempt) {
    Sleep(pauseMs);
    outcome = ReadFileWithin(path, kStoredListLimit, stored, &lastWrite);
  }
  return outcome;
}

enum class Replaced {
  kRead,     // the file is read into the bytes (and is still this run's, when checked)
  kNone,     // there is no file, or (not checked) it could not be read
  kChanged,  // checked: it is not the file `version` names
  kHeld,     // checked: it is this run's by its size and time, but held against reading
};

// Reads the file a save is about to replace. When `checked`, it must still be
// the one last loaded or stored; one that was removed held nothing to lose,
// and is simply stored again.
Replaced ReadReplacedFile(const std::string& path, const StoredVersion& version, bool checked, Bytes& bytes) {
  const FileState now = StateOfFile(path);
  if (!now.exists) return Replaced::kNone;
  if (checked && (!version.exists || now.size != version.size || now.lastWrite != version.lastWrite))
    return Replaced::kChanged;
  std::uint64_t lastWrite = 0;
  switch (ReadWithRetries(path, bytes, lastWrite, 5, 50)) {
    case ReadOutcome::kRead:
      return checked && (lastWrite != version.lastWrite || DigestOf(bytes) != version.digest) ? Replaced::kChanged
                                                                                              : Replaced::kRead;
    case ReadOutcome::kMissing:
      return Replaced::kNone;
    case ReadOutcome::kUnreadable:
      break;
  }
  return checked ? Replaced::kHeld : Replaced::kNone;
}

SaveOutcome SaveOutcomeOf(WriteOutcome outcome) {
  switch (outcome) {
    case WriteOutcome::kWritten:
      return SaveOutcome::kStored;
    case WriteOutcome::kFolderRefused:
      return SaveOutcome::kFolderRefused;
    case WriteOutcome::kDiskFull:
      return SaveOutcome::kDiskFull;
    case WriteOutcome::kHeld:
      return SaveOutcome::kHeld;
    case WriteOutcome::kReadOnly:
      return SaveOutcome::kReadOnly;
    case WriteOutcome::kFailed:
      break;
  }
  return SaveOutcome::kFailed;
}

}  // namespace

bool LoadAccountList(ReportList list, const std::string& configFile, StoredVersion& version) {
  try {
    Bytes stored;
    std::uint64_t lastWrite = 0;
    const ReadOutcome outcome = ReadWithRetries(configFile, stored, lastWrite, 6, 100);
    if (outcome == ReadOutcome::kUnreadable) {
      list.SetContent({});
      return false;
    }
    version = outcome == ReadOutcome::kMissing ? StoredVersion{}
                                               : StoredVersion{true, stored.size(), lastWrite, DigestOf(stored)};
    return list.SetContent(DecryptData(stored, kPassword, kRc4Algorithm));
  } catch (const std::exception&) {  // no memory for the bytes
    return false;
  }
}

SaveOutcome SaveAccountList(ReportList list, const std::string& configFile, const std::string& backupFolder,
                            StoredVersion& version, SaveCheck check) {
  const bool checked = check == SaveCheck::kUnchangedOnly;
  Bytes plain;
  Bytes replaced;  // what the file held before, for the backup
  bool hadFile = false;
  try {
    // An empty list is stored too (as an empty file), so that deleting the
    // last row survives a restart.
    if (!ReadOutListContent(list.ControlWindowHandle(), plain)) return SaveOutcome::kNotReadOut;
    if (plain.size() > kStoredListLimit) return SaveOutcome::kTooLarge;
    const Bytes stored = EncryptData(plain, kPassword, kRc4Algorithm);
    if (stored.size() != plain.size()) return SaveOutcome::kNotReadOut;

    switch (ReadReplacedFile(configFile, version, checked, replaced)) {
      case Replaced::kChanged:
        return SaveOutcome::kChangedElsewhere;
      case Replaced::kHeld:
        return SaveOutcome::kHeld;
      case Replaced::kRead:
        hadFile = true;
        break;
      case Replaced::kNone:
        break;
    }

    // The file is replaced whole or not at all, and the plain body never
    // touches the disk; on failure the rows stay on screen as they are.
    const WriteOutcome written = ReplaceFileBytes(configFile, stored);
    if (written != WriteOutcome::kWritten) return SaveOutcomeOf(written);
    version = StoredVersion{true, stored.size(), StateOfFile(configFile).lastWrite, DigestOf(stored)};
    // A save that stores the bytes the file held already keeps no copy of them.
    if (hadFile && replaced != stored && !backupFolder.empty()) {
      try {
        KeepBackup(backupFolder, replaced);
      } catch (const std::exception&) {  // no memory for a name: the save stands without its copy
      }
    }
  } catch (const std::exception&) {  // no memory before the file was replaced: the rows stay as they were
    return SaveOutcome::kNotReadOut;
  }
  // The list shows what is stored: the bytes just written are what the file
  // now holds, so they are shown rather than read back, which could fail.
  // When they are the rows on screen (as they are, just read out of the
  // list), the rows stay and only the selection goes.
  return list.ShowContent(plain) ? SaveOutcome::kStored : SaveOutcome::kNotShown;
}

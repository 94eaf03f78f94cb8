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

bool LoadAccountList(ReportList list, const std::string& configFile) {
  try {
    // A virus scanner or a backup tool may hold the file for a moment: a
    // refusal is tried again for about half a second before it counts.
    constexpr int kAttempts = 6;
    constexpr DWORD kPauseMs = 100;
    Bytes stored;
    ReadOutcome outcome = ReadFileWithin(configFile, kStoredListLimit, stored);
    for (int attempt = 1; outcome == ReadOutcome::kUnreadable && attempt < kAttempts; ++attempt) {
      Sleep(kPauseMs);
      outcome = ReadFileWithin(configFile, kStoredListLimit, stored);
    }
    if (outcome == ReadOutcome::kUnreadable) {
      list.SetContent({});
      return false;
    }
    return list.SetContent(DecryptData(stored, kPassword, kRc4Algorithm));
  } catch (const std::exception&) {  // no memory for the bytes
    return false;
  }
}

bool SaveAccountList(ReportList list, const std::string& configFile) {
  Bytes plain;
  try {
    // An empty list is stored too (as an empty file), so that deleting the
    // last row survives a restart.
    if (!ReadOutListContent(list.ControlWindowHandle(), plain) || plain.size() > kStoredListLimit) return true;
    const Bytes stored = EncryptData(plain, kPassword, kRc4Algorithm);
    if (stored.size() != plain.size()) return true;
    // The file is replaced whole or not at all, and the plain body never
    // touches the disk; on failure the rows stay on screen as they are.
    if (!ReplaceFileBytes(configFile, stored)) return true;
  } catch (const std::exception&) {  // no memory: the rows and the file stay as they were
    return true;
  }
  // The list shows what is stored: the bytes just written are what the file
  // now holds, so they are shown rather than read back, which could fail.
  // When they are the rows on screen (as they are, just read out of the
  // list), the rows stay and only the selection goes.
  return list.ShowContent(plain);
}

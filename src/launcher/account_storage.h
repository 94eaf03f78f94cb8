#pragma once
// The stored account list: config.ini beside the program (its path is passed in), the list's whole
// content enciphered with RC4 under a fixed password.

#include <windows.h>

#include <cstdint>
#include <string>

#include "host/bytes.h"
#include "launcher/stored_version.h"

#include "ui/controls.h"

// No real list comes near this size (10,000 rows take about 0.5 MB): a larger
// config.ini is not read, and a list this large is not stored.
inline constexpr std::uint64_t kStoredListLimit = 16u << 20;

// Replaces the list's rows with what config.ini holds (none when it is
// missing or empty), and notes which file that was in `version`. False when
// the file exists but could not be read (it could not be opened or read, or
// it is larger than any real list): the list is then empty, and storing it
// would lose every account.
bool LoadAccountList(ReportList list, const std::string& configFile, StoredVersion& version);

// How a save ended.
enum class SaveOutcome {
  kStored,            // the file holds the rows, and the list shows them
  kNotShown,          // stored, but the list could not show all stored rows
  kChangedElsewhere,  // the file is not the one `version` names: nothing was written
  kNotReadOut,        // the rows could not be read out of the list (no memory)
  kTooLarge,          // the list is larger than kStoredListLimit
  kFolderRefused,     // no file may be made in the folder
  kDiskFull,
  kHeld,      // another program holds config.ini past the retry
  kReadOnly,  // config.ini is read-only
  kFailed,    // any other error of the system
};

// Whether a save first makes sure that the file is still the one this run
// loaded or last stored, or stores over whatever is there.
enum class SaveCheck { kUnchangedOnly, kOverwrite };

// Stores the list's rows in config.ini, replacing the file whole or not at all,
// then shows in the list exactly the rows of the bytes stored, and notes the
// new file in `version`. On failure the rows stay on screen. The file that a
// save replaced goes to `backupFolder` (none when empty) when its bytes differ
// from the new ones.
SaveOutcome SaveAccountList(ReportList list, const std::string& configFile, const std::string& backupFolder,
                            StoredVersion& version, SaveCheck check);

// The list's whole content as the stored body lays it out, read out of the
// rows (not the bytes last shown); false when it could not be read out whole.
bool ReadOutListContent(HWND window, Bytes& plain);

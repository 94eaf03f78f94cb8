#pragma once
// The stored account list: config.ini beside the program (its path is passed in), the list's whole
// content enciphered with RC4 under a fixed password.

#include <windows.h>

#include <cstdint>
#include <string>

#include "host/bytes.h"

#include "ui/controls.h"

// No real list comes near this size (10,000 rows take about 0.5 MB): a larger
// config.ini is not read, and a list this large is not stored.
inline constexpr std::uint64_t kStoredListLimit = 16u << 20;

// Replaces the list's rows with what config.ini holds (none when it is
// missing or empty). False when the file exists but could not be read (it
// could not be opened or read, or it is larger than any real list): the list
// is then empty, and storing it would lose every account.
bool LoadAccountList(ReportList list, const std::string& configFile);

// Stores the list's rows in config.ini, replacing the file whole or not at all,
// then shows in the list exactly the rows of the bytes stored. On failure the
// rows stay on screen. False when the list could not show all stored rows.
bool SaveAccountList(ReportList list, const std::string& configFile);

// The list's whole content as the stored body lays it out, read out of the
// rows (not the bytes last shown); false when it could not be read out whole.
bool ReadOutListContent(HWND window, Bytes& plain);

#pragma once
// The copies of config.ini that saves replaced, in backup\ beside the program.

#include <string>

#include "host/bytes.h"

// Keeps `replaced` (the stored bytes a save has just replaced, enciphered as
// they were) as a new file of `folder` named by the local time, then removes
// the backups that are no longer kept. A copy that cannot be written is given
// up at once: a backup never fails or delays a save.
void KeepBackup(const std::string& folder, const Bytes& replaced);

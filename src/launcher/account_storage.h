#pragma once
// The stored account list: config.ini beside the program, the list's whole
// content enciphered with RC4 under a fixed password.

#include "ui/controls.h"

// Replaces the list's rows with what config.ini holds (none when it is
// missing or empty). Reports nothing.
void LoadAccountList(ReportList list);

// Stores the list's rows in config.ini, replacing the file whole or not at all,
// then rebuilds the list from the file. On failure the rows stay on screen.
void SaveAccountList(ReportList list);

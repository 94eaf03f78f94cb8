#pragma once
// Showing a folder to the user.

#include <string>

// Opens a window of the system's file manager (explorer.exe from the Windows
// folder, never one beside the program) on the folder. False when it could
// not be started.
bool ShowFolderInExplorer(const std::string& folder);

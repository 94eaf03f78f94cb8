#pragma once
// Opening an account: its profile folder and the browser started on it.

#include <optional>
#include <string>

#include "host/handles.h"
#include "launcher/program_paths.h"

// Makes sure the account's profile folder exists under the profile root,
// refreshes it from the template (unless a browser runs on it), and starts
// the browser in app mode on the console. False, with nothing created or
// started, when the account's folder is refused (PrepareProfileFolder); true
// otherwise, whether or not the browser started.
bool LaunchAccount(const ProgramPaths& paths, const std::string& browserPath, const std::string& account);

// The steps of a launch, for a caller that runs them on a thread of its own.
//
// The account's profile folder, made when missing; nullopt, with nothing made,
// when the template profile is missing, when the account text cannot be a
// folder name inside the profile root, when
// a junction or symbolic link stands at the profile root or anywhere on the
// way down to the folder (the profile would land elsewhere), or when a folder
// cannot be made.
std::optional<std::string> PrepareProfileFolder(const ProgramPaths& paths, const std::string& account);
// Copies the template over the profile unless a browser runs on it, then
// drops the read-only attribute the copy may have brought along.
void RefreshProfile(const ProgramPaths& paths, const std::string& profile);
// The program that the browser path field names: an existing file whose name
// ends in ".exe" (a path typed inside double quotes counts as that path);
// nullopt for any other text, which is never run.
std::optional<std::string> BrowserProgramOf(const std::string& browserField);
// Starts the browser that the field names on the profile; its process, empty
// when the field names no browser program or it did not start.
UniqueHandle StartBrowser(const std::string& browserField, const std::string& profile);

// Copies the source folder's contents into the existing destination folder
// through the platform's "scripting.FileSystemObject", replacing same-named
// files and leaving the others. Failures are silent. COM must be initialised
// on the calling thread.
void CopyTemplateProfile(const std::string& source, const std::string& destination);

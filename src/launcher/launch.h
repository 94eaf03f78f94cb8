#pragma once
// Opening an account: its profile folder and the browser started on it.

#include <string>

// Makes sure the account's profile folder exists under the profile root,
// refreshes it from the template (unless a browser runs on it), and starts
// the browser in app mode on the console. False, with nothing created or
// started, when the account text cannot be a folder name or a folder cannot
// be made; true otherwise, whether or not the browser started.
bool LaunchAccount(const std::string& browserPath, const std::string& account);

// Copies the source folder's contents into the existing destination folder
// through the platform's "scripting.FileSystemObject", replacing same-named
// files and leaving the others. Failures are silent.
void CopyTemplateProfile(const std::string& source, const std::string& destination);

// "<program folder>\UserData__Templete" and "<program folder>\qnv".
std::string TemplateProfileFolder();
std::string ProfileRootFolder();

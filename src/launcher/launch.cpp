#include "launcher/launch.h"

#include "host/automation.h"
#include "host/code_page.h"
#include "host/files.h"
#include "host/process.h"
#include "host/text.h"
#include "host/window.h"
#include "launcher/command_line.h"

std::string TemplateProfileFolder() { return JoinTexts({ProgramFolder(), "\\UserData__Templete"}); }

std::string ProfileRootFolder() { return JoinTexts({ProgramFolder(), "\\qnv"}); }

void CopyTemplateProfile(const std::string& source, const std::string& destination) {
  AutomationObject fileSystem;
  if (CreateAutomationObject(fileSystem, "scripting.FileSystemObject")) {
    // The destination exists and has no closing backslash, so the source's
    // contents go into it; same-named files are replaced (overwrite keeps its
    // default), the profile's own files stay.
    CallAutomationMethod(fileSystem, "CopyFolder", {source, destination});
  }
  ReleaseAutomationObject(fileSystem);
}

bool LaunchAccount(const std::string& browserPath, const std::string& account) {
  // The account text becomes a folder name under the profile root; a text
  // that would name a place outside it, or no folder at all, opens nothing.
  if (!IsValidProfileName(account, IsAnsiLeadByte)) return false;

  const std::string templateFolder = TemplateProfileFolder();
  // Without a closing backslash this only makes sure the program folder exists.
  if (!EnsureFolderPath(templateFolder)) return false;
  const std::string profile = JoinTexts({ProfileRootFolder(), "\\", account});
  if (!EnsureFolderPath(JoinTexts({profile, "\\"}))) return false;

  // A browser running on the profile holds its files open, and copying over
  // them would damage the profile; the start below then only hands the
  // request to that browser.
  if (!IsProfileInUse(profile)) CopyTemplateProfile(templateFolder, profile);

  // A path that names a file goes in quotes, so that spaces in it cannot split
  // it; any other text (a bare program name, a line the user quoted already)
  // goes in as typed.
  const std::string line = BuildBrowserCommandLine(browserPath, IsExistingFile(browserPath), profile, ConsoleUrl());
  RunProgram(line, false);
  return true;
}

#include "launcher/launch.h"

#include "host/automation.h"
#include "host/code_page.h"
#include "host/files.h"
#include "host/process.h"
#include "host/text.h"
#include "host/window.h"
#include "launcher/browser_text.h"
#include "launcher/command_line.h"
#include "launcher/program_place.h"

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

std::optional<std::string> PrepareProfileFolder(const ProgramPaths& paths, const std::string& account) {
  // The account text becomes a folder name under the profile root; a text
  // that would name a place outside it, or no folder at all, opens nothing.
  if (!IsValidProfileName(account, IsAnsiLeadByte)) return std::nullopt;
  // Without its template a profile would start empty, and its login with it.
  if (!HasTemplateProfile(paths)) return std::nullopt;
  // Without a closing backslash this only makes sure the program folder exists.
  if (!EnsureFolderPath(paths.templateProfile)) return std::nullopt;
  // A link would put the copy and the browser's data into a folder that is
  // not this account's alone.
  if (HasLinkBelow(paths.profileRoot, account)) return std::nullopt;
  std::string profile = paths.ProfileFolderOf(account);
  if (!EnsureFolderPath(JoinTexts({profile, "\\"}))) return std::nullopt;
  return profile;
}

void RefreshProfile(const ProgramPaths& paths, const std::string& profile) {
  // A browser running on the profile holds its files open, and copying over
  // them would damage the profile; the start then only hands the request to
  // that browser.
  if (IsProfileInUse(profile)) return;
  CopyTemplateProfile(paths.templateProfile, profile);
  // Read-only template files would refuse the next refresh and the clear.
  DropReadOnlyInTree(profile);
}

std::optional<std::string> BrowserProgramOf(const std::string& browserField) {
  // Any other text would be run by the system's guesses: an unquoted
  // "C:\Program Files\..." tries "C:\Program.exe", a bare name gets ".exe"
  // added and is looked for along the search path.
  std::string file = BrowserFileOfField(browserField);
  if (!HasProgramExtension(file) || !IsExistingFile(file)) return std::nullopt;
  return file;
}

UniqueHandle StartBrowser(const std::string& browserField, const std::string& profile) {
  const std::optional<std::string> program = BrowserProgramOf(browserField);
  if (!program) return {};
  // In quotes, so that spaces in the path cannot split it.
  return StartProgram(BuildBrowserCommandLine(*program, true, profile, ConsoleUrl()));
}

bool LaunchAccount(const ProgramPaths& paths, const std::string& browserPath, const std::string& account) {
  const std::optional<std::string> profile = PrepareProfileFolder(paths, account);
  if (!profile) return false;
  RefreshProfile(paths, *profile);
  StartBrowser(browserPath, *profile);
  return true;
}

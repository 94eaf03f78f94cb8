#include "launcher/browser_discovery.h"

#include <windows.h>

#include <array>
#include <optional>

#include "host/files.h"
#include "host/registry.h"
#include "host/text.h"
#include "host/texts.h"
#include "launcher/browser_text.h"

namespace {

constexpr std::int32_t kClassesRoot = 1;
constexpr std::int32_t kCurrentUser = 3;
constexpr std::int32_t kLocalMachine = 4;
constexpr char kBrowserIconValue[] = "ChromeHTML\\Application\\ApplicationIcon";
constexpr char kAppPathsValue[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe\\";
constexpr char kStartMenuInternet[] = "SOFTWARE\\Clients\\StartMenuInternet";
constexpr std::string_view kBrowserEntry = "Google Chrome";  // also "Google Chrome.<suffix>" for per-user installs

constexpr std::array<std::int32_t, 2> kUserThenMachine = {kCurrentUser, kLocalMachine};
constexpr std::array<RegistryView, 2> kBothViews = {RegistryView::Bits64, RegistryView::Bits32};

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.data(), static_cast<int>(start.size()), start.data(),
                        static_cast<int>(start.size())) == CSTR_EQUAL;
}

std::optional<std::string> FromAppPaths() {
  for (std::int32_t root : kUserThenMachine)
    for (RegistryView view : kBothViews)
      if (std::optional<std::string> path = TryReadRegistryText(root, kAppPathsValue, view);
          path && IsExistingFile(*path))
        return path;
  return std::nullopt;
}

std::optional<std::string> FromStartMenuInternet() {
  for (std::int32_t root : kUserThenMachine)
    for (RegistryView view : kBothViews)
      for (const std::string& entry : ListRegistrySubkeys(root, kStartMenuInternet, view)) {
        if (!StartsWithIgnoringCase(entry, kBrowserEntry)) continue;
        const std::optional<std::string> command =
            TryReadRegistryText(root, JoinTexts({kStartMenuInternet, "\\", entry, "\\shell\\open\\command\\"}), view);
        if (!command) continue;
        std::string path = BrowserPathFromOpenCommand(*command);
        if (IsExistingFile(path)) return path;
      }
  return std::nullopt;
}

std::string EnvironmentText(const char* name) {
  char value[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::optional<std::string> FromUsualFolders() {
  for (const char* variable : {"LOCALAPPDATA", "ProgramFiles", "ProgramFiles(x86)"}) {
    const std::string base = EnvironmentText(variable);
    if (base.empty()) continue;
    std::string path = JoinTexts({base, "\\Google\\Chrome\\Application\\chrome.exe"});
    if (IsExistingFile(path)) return path;
  }
  return std::nullopt;
}

}  // namespace

std::string FindBrowserPath() {
  const std::optional<std::string> icon = TryReadRegistryText(kClassesRoot, kBrowserIconValue);
  const std::string registered = icon ? BrowserPathFromIconLocation(*icon) : std::string();
  if (icon && IsExistingFile(registered)) return registered;
  if (std::optional<std::string> path = FromAppPaths()) return *path;
  if (std::optional<std::string> path = FromStartMenuInternet()) return *path;
  if (std::optional<std::string> path = FromUsualFolders()) return *path;
  return icon ? registered : ProgramTextAnsi(KL_TEXT_PATH_ERROR);
}

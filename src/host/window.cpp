#include "host/window.h"

namespace {

constexpr char kBrowserMarkerClass[] = "Chrome_MessageWindow";

bool HasMarkerWindow(const std::string& folder) {
  return FindWindowExA(HWND_MESSAGE, nullptr, kBrowserMarkerClass, folder.c_str()) != nullptr ||
         FindWindowExA(nullptr, nullptr, kBrowserMarkerClass, folder.c_str()) != nullptr;
}

}  // namespace

HWND FindTopLevelWindow(const std::string& title) { return FindWindowExA(nullptr, nullptr, nullptr, title.c_str()); }

void BringWindowToFront(HWND window) {
  if (window) SetForegroundWindow(window);
}

bool IsProfileInUse(const std::string& profileFolder) {
  // An empty title would match any untitled marker window.
  if (profileFolder.empty()) return false;
  if (HasMarkerWindow(profileFolder)) return true;
  // The same folder written with a closing backslash counts as well.
  if (profileFolder.size() > 1 && profileFolder.back() == '\\')
    return HasMarkerWindow(profileFolder.substr(0, profileFolder.size() - 1));
  return false;
}

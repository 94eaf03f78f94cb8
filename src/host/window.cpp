#include "host/window.h"

#include <cstring>

namespace {

constexpr char kBrowserMarkerClass[] = "Chrome_MessageWindow";

bool IsMarkerClass(HWND window) {
  char name[sizeof kBrowserMarkerClass + 1] = {};
  return GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, kBrowserMarkerClass) == 0;
}

struct ProcessWindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK TakeFirstOfProcess(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<ProcessWindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.process || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != nullptr) return TRUE;
  search.found = window;
  return FALSE;
}

BOOL CALLBACK CollectTopLevelMarker(HWND window, LPARAM context) {
  if (IsMarkerClass(window)) reinterpret_cast<std::vector<std::string>*>(context)->push_back(WindowText(window));
  return TRUE;
}

}  // namespace

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

HWND FindTopLevelWindow(const std::string& title) { return FindWindowExA(nullptr, nullptr, nullptr, title.c_str()); }

void BringWindowToFront(HWND window) {
  if (window) SetForegroundWindow(window);
}

void RestoreAndBringToFront(HWND window) {
  if (!window) return;
  // The window may belong to a busy or hung program: ShowWindow would wait
  // for it, ShowWindowAsync only posts the request.
  if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
  SetForegroundWindow(window);
}

HWND FindProfileMarker(const std::string& profileFolder) {
  // An empty title would match any untitled marker window.
  if (profileFolder.empty()) return nullptr;
  if (HWND marker = FindWindowExA(HWND_MESSAGE, nullptr, kBrowserMarkerClass, profileFolder.c_str())) return marker;
  return FindWindowExA(nullptr, nullptr, kBrowserMarkerClass, profileFolder.c_str());
}

bool IsProfileInUse(const std::string& profileFolder) {
  if (FindProfileMarker(profileFolder)) return true;
  // The same folder written with a closing backslash counts as well.
  if (profileFolder.size() > 1 && profileFolder.back() == '\\')
    return FindProfileMarker(profileFolder.substr(0, profileFolder.size() - 1)) != nullptr;
  return false;
}

std::vector<std::string> ListProfileMarkers() {
  std::vector<std::string> titles;
  // From the first message-only marker on, one walk over the rest of the
  // message-only windows: each step is one look-up, so the cost follows the
  // number of windows (a search from the start for each marker would not).
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, kBrowserMarkerClass, nullptr); window;
       window = GetWindow(window, GW_HWNDNEXT))
    if (IsMarkerClass(window)) titles.push_back(WindowText(window));
  EnumWindows(CollectTopLevelMarker, reinterpret_cast<LPARAM>(&titles));
  return titles;
}

HWND FrontWindowOfSameProcess(HWND window) {
  ProcessWindowSearch search{0, nullptr};
  if (!window || !GetWindowThreadProcessId(window, &search.process)) return nullptr;
  // EnumWindows goes through the top-level windows from the top of the z-order down.
  EnumWindows(TakeFirstOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

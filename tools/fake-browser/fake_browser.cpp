// Stands in for the browser in the tests. It appends its exact command line
// (one line, CRLF) to a log file and, when asked, stays running for a while
// with a titled window and the profile marker window that the real browser
// keeps while it uses a profile folder.
//
// Log file: %KL_FAKE_BROWSER_LOG%, else fake-browser.log beside the program.
// Options, anywhere on the line:
//   --stay-ms=N      keep running N ms (at most 120000; default: end at once);
//                    also taken from %KL_FAKE_BROWSER_STAY_MS%
//   --title=TEXT     a top-level window with this title, shown as the start-up
//                    info says (normally: shown); also %KL_FAKE_BROWSER_TITLE%
//   --marker         with --user-data-dir=PATH: a message-only window of class
//                    "Chrome_MessageWindow" titled with PATH as the browser
//                    spells it (the full path, backslashes, no closing one);
//                    also %KL_FAKE_BROWSER_MARKER%=1. As the browser does, a
//                    start on a folder that already has its marker only logs
//                    its line and ends.
//   --marker-after-ms=N  the marker comes N ms after the start (as a real
//                    browser's may take a second or more); also
//                    %KL_FAKE_BROWSER_MARKER_AFTER_MS%
//   --report-show    a further log line "wShowWindow=N" from the start-up info
//   --report-pid     a further log line "pid=N"
//   --report-debug   a further log line "debug=enabled", "debug=disabled" or
//                    "debug=absent": SeDebugPrivilege in its token; also
//                    %KL_FAKE_BROWSER_REPORT_DEBUG%=1
//   --minimized      the titled window is shown minimised, whatever the
//                    start-up info says
//   --hang-ms=N      after logging, answers no message for N ms (at most
//                    120000), as a hung browser; also %KL_FAKE_BROWSER_HANG_MS%
// Values may be quoted ("--title=A B" or --title="A B"). The windows exist
// before the line is logged, so a test that sees the line can look for them.
// WM_CLOSE to any of its windows ends it.

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kLongestStayMs = 120000;

// The value after `key` on the line: up to the closing quote when the option
// or its value is quoted, else up to the next space. Empty when absent.
bool OptionValue(const std::string& line, const std::string& key, std::string& value) {
  const std::size_t at = line.find(key);
  if (at == std::string::npos) return false;
  std::size_t begin = at + key.size();
  char end = ' ';
  if (at > 0 && line[at - 1] == '"') {
    end = '"';
  } else if (begin < line.size() && line[begin] == '"') {
    end = '"';
    ++begin;
  }
  const std::size_t stop = line.find(end, begin);
  value = line.substr(begin, stop == std::string::npos ? std::string::npos : stop - begin);
  return true;
}

bool HasWord(const std::string& line, const std::string& word) {
  for (std::size_t at = line.find(word); at != std::string::npos; at = line.find(word, at + 1)) {
    const std::size_t after = at + word.size();
    if (after == line.size() || line[after] == ' ' || line[after] == '"') return true;
  }
  return false;
}

std::string Environment(const char* name) {
  char value[1024] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

// The option on the line, else the environment variable set to "1".
bool HasSwitch(const std::string& line, const std::string& word, const char* variable) {
  return HasWord(line, word) || Environment(variable) == "1";
}

// The option's number, else the environment variable's, at most 120000.
DWORD Milliseconds(const std::string& line, const std::string& key, const char* variable) {
  std::string text;
  if (!OptionValue(line, key, text)) text = Environment(variable);
  const DWORD value = static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
  return value > kLongestStayMs ? kLongestStayMs : value;
}

// SeDebugPrivilege as the process's token holds it.
const char* DebugPrivilegeState() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "absent";
  LUID debug = {};
  LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &debug);
  char buffer[4096] = {};
  DWORD size = 0;
  const char* state = "absent";
  if (GetTokenInformation(token, TokenPrivileges, buffer, sizeof buffer, &size)) {
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer);
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      const LUID& id = privileges->Privileges[i].Luid;
      if (id.LowPart == debug.LowPart && id.HighPart == debug.HighPart)
        state = (privileges->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) ? "enabled" : "disabled";
    }
  }
  CloseHandle(token);
  return state;
}

std::string LogPath() {
  std::string path = Environment("KL_FAKE_BROWSER_LOG");
  if (!path.empty()) return path;
  char self[MAX_PATH * 2] = {};
  const DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  path.assign(self, n);
  return path.substr(0, path.find_last_of('\\') + 1) + "fake-browser.log";
}

void AppendToLog(const std::string& text) {
  // Several fake browsers may log at once. Sharing is open, and they take
  // turns: two appends at the same moment must not land at the same offset.
  HANDLE turn = CreateMutexA(nullptr, FALSE, "KlFakeBrowserLog");
  if (turn) WaitForSingleObject(turn, 10000);
  HANDLE file = CreateFileA(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  if (turn) {
    ReleaseMutex(turn);
    CloseHandle(turn);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(const char* className, const std::string& title, HWND parent) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, className, title.c_str(), parent ? 0 : WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         320, 200, parent, nullptr, windowClass.hInstance, nullptr);
}

// The profile folder as the browser names it: a full path with backslashes
// and no closing separator.
std::string MarkerTitle(std::string folder) {
  for (char& c : folder)
    if (c == '/') c = '\\';
  char full[MAX_PATH * 2] = {};
  const DWORD n = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
  if (n > 0 && n < sizeof full) folder.assign(full, n);
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showMode) {
  const std::string line = GetCommandLineA();

  std::string text;
  DWORD stayMs = Milliseconds(line, "--stay-ms=", "KL_FAKE_BROWSER_STAY_MS");
  const bool marker = HasSwitch(line, "--marker", "KL_FAKE_BROWSER_MARKER");
  std::string profile;
  if (marker && OptionValue(line, "--user-data-dir=", text)) profile = MarkerTitle(text);
  // Another instance serves the profile already: it would take the request over.
  const bool handedOver =
      !profile.empty() && FindWindowExA(HWND_MESSAGE, nullptr, "Chrome_MessageWindow", profile.c_str()) != nullptr;
  if (handedOver) stayMs = 0;

  if (!handedOver) {
    // Shown as the starter asked (the start-up info's show mode).
    if (OptionValue(line, "--title=", text) || !(text = Environment("KL_FAKE_BROWSER_TITLE")).empty())
      ShowWindow(MakeWindow("KlFakeBrowserWindow", text, nullptr),
                 HasWord(line, "--minimized") ? SW_SHOWMINNOACTIVE : showMode);
  }
  const DWORD markerAfterMs = Milliseconds(line, "--marker-after-ms=", "KL_FAKE_BROWSER_MARKER_AFTER_MS");
  constexpr UINT_PTR kMarkerTimer = 7;
  HWND timerWindow = nullptr;
  if (!handedOver && !profile.empty()) {
    if (markerAfterMs == 0) {
      MakeWindow("Chrome_MessageWindow", profile, HWND_MESSAGE);
    } else {
      timerWindow = MakeWindow("KlFakeBrowserTimer", "", HWND_MESSAGE);
      SetTimer(timerWindow, kMarkerTimer, markerAfterMs, nullptr);
    }
  }

  std::string entry = line + "\r\n";
  if (HasWord(line, "--report-show")) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int shown = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    entry += "wShowWindow=" + std::to_string(shown) + "\r\n";
  }
  if (HasWord(line, "--report-pid")) entry += "pid=" + std::to_string(GetCurrentProcessId()) + "\r\n";
  if (HasSwitch(line, "--report-debug", "KL_FAKE_BROWSER_REPORT_DEBUG"))
    entry += std::string("debug=") + DebugPrivilegeState() + "\r\n";
  AppendToLog(entry);
  if (const DWORD hangMs = Milliseconds(line, "--hang-ms=", "KL_FAKE_BROWSER_HANG_MS")) Sleep(hangMs);

  if (stayMs > 0) {
    SetTimer(nullptr, 0, stayMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (message.message == WM_TIMER && message.hwnd == nullptr) break;
      if (message.message == WM_TIMER && message.hwnd == timerWindow && timerWindow) {
        KillTimer(timerWindow, kMarkerTimer);
        MakeWindow("Chrome_MessageWindow", profile, HWND_MESSAGE);
        continue;
      }
      DispatchMessageA(&message);
    }
  }
  return 0;
}

#include "launcher_window.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "host/handles.h"
#include "host/single_instance.h"
#include "listview/list_view_access.h"
#include "listview/remote_memory.h"
#include "input.h"

namespace launcher_test {

namespace {

constexpr char kBrowserKeyRoot[] = "ChromeHTML";
constexpr char kBrowserKey[] = "ChromeHTML\\Application";
constexpr char kIconValue[] = "ApplicationIcon";

bool KeyExists(const char* path) {
  UniqueRegKey key;
  return RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool WriteIconValue(DWORD type, const std::string& value) {
  UniqueRegKey key;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kBrowserKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
      ERROR_SUCCESS)
    return false;
  return RegSetValueExA(key.get(), kIconValue, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool IsClass(HWND window, const char* expected) { return window && lstrcmpiA(ClassOf(window).c_str(), expected) == 0; }

std::vector<HWND> ChildrenInOrder(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 10000,
                      &copied);
  text.resize(copied);
  return test::Narrow(text);
}

void PutWindowText(HWND window, const std::string& text) {
  const std::wstring wide = test::Widen(text);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_NORMAL, 10000, &result);
}

}  // namespace

ProgramFolder::ProgramFolder(const std::string& subfolder, const std::string& programName)
    : path_(subfolder.empty() ? folder_.path() : folder_ / subfolder), programName_(programName) {
  const std::string templateFolder = *this / "UserData__Templete";
  ready_ = (subfolder.empty() || CreateDirectoryA(path_.c_str(), nullptr)) &&
           test::CopyFromBin("KestrunLauncher.exe", path_, programName) &&
           test::CopyFromBin("fake-browser.exe", path_) && CreateDirectoryA(templateFolder.c_str(), nullptr) &&
           test::WriteWholeFile(templateFolder + "\\Local State", "{}");
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &entry));
  if (!find) return names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find.get(), &entry));
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> ProgramFolder::Entries() const { return NamesIn(path_); }

std::vector<std::string> WhileRunning(std::vector<std::string> entries) {
  entries.push_back(test::Narrow(kInstanceLockName));
  std::sort(entries.begin(), entries.end());
  return entries;
}

BrowserIconValue::BrowserIconValue() {
  hadRoot_ = KeyExists(kBrowserKeyRoot);
  hadKey_ = KeyExists(kBrowserKey);
  UniqueRegKey key;
  if (!hadKey_ || RegOpenKeyExA(HKEY_CLASSES_ROOT, kBrowserKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
  char data[2048] = {};
  DWORD size = sizeof data - 1;
  hadValue_ =
      RegQueryValueExA(key.get(), kIconValue, nullptr, &type_, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
  if (hadValue_) previous_ = data;
}

BrowserIconValue::~BrowserIconValue() {
  if (hadValue_)
    WriteIconValue(type_, previous_);
  else
    Remove();
}

bool BrowserIconValue::Set(const std::string& value) { return WriteIconValue(REG_SZ, value); }

void BrowserIconValue::Remove() {
  {
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kBrowserKey, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
      RegDeleteValueA(key.get(), kIconValue);
  }
  // Keys this test made go again.
  if (!hadKey_) RegDeleteKeyA(HKEY_CLASSES_ROOT, kBrowserKey);
  if (!hadRoot_) RegDeleteKeyA(HKEY_CLASSES_ROOT, kBrowserKeyRoot);
}

bool FileStamp::operator==(const FileStamp& other) const {
  return exists == other.exists && indexHigh == other.indexHigh && indexLow == other.indexLow &&
         sizeLow == other.sizeLow && CompareFileTime(&written, &other.written) == 0;
}

FileStamp StampOf(const std::string& path) {
  FileStamp stamp;
  UniqueFile file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  if (!file) return stamp;
  BY_HANDLE_FILE_INFORMATION info = {};
  if (GetFileInformationByHandle(file.get(), &info)) {
    stamp.exists = true;
    stamp.indexHigh = info.nFileIndexHigh;
    stamp.indexLow = info.nFileIndexLow;
    stamp.sizeLow = info.nFileSizeLow;
    stamp.written = info.ftLastWriteTime;
  }
  return stamp;
}

bool RunningLauncher::Start(const ProgramFolder& folder, const std::vector<std::string>& browserEnvironment,
                            std::chrono::milliseconds timeout) {
  std::vector<std::string> environment = browserEnvironment;
  environment.push_back("KL_FAKE_BROWSER_LOG=" + folder.LogPath());
  if (!child_.Start("\"" + folder.ProgramPath() + "\"", elsewhere_.path(), environment)) return false;
  window_ = test::WaitForProcessWindow(child_.id(), kCaption, timeout);
  // Shown only after the created event has filled the list and the path.
  if (!window_ || !test::WaitUntil([&] { return IsWindowVisible(window_) != FALSE; }, timeout)) return false;

  // The group box is the window's child that holds the working controls, in
  // the order they were created.
  std::vector<HWND> controls;
  for (HWND child : ChildrenInOrder(window_)) {
    if (GetWindow(child, GW_CHILD)) controls = ChildrenInOrder(child);
  }
  if (controls.size() != 12) return false;
  browser_ = controls[3];
  renumber_ = controls[4];
  list_ = controls[5];
  delete_ = controls[7];
  modify_ = controls[8];
  add_ = controls[9];
  account_ = controls[10];
  clear_ = controls[11];
  // Its first clicks are taken only once it waits for input.
  WaitForInputIdle(child_.handle(), 10000);
  return IsClass(browser_, "Edit") && IsClass(account_, "Edit") && IsClass(list_, "SysListView32") &&
         IsClass(renumber_, "Button") && IsClass(delete_, "Button") && IsClass(modify_, "Button") &&
         IsClass(add_, "Button") && IsClass(clear_, "Button");
}

RunningLauncher::~RunningLauncher() { child_.Kill(); }

Rows RunningLauncher::ScreenRows() {
  Rows rows;
  ListViewAccess access;
  if (!access.Bind(list_, true)) return rows;
  const std::int32_t count = access.GetItemCount();
  for (std::int32_t r = 0; r < count; ++r)
    rows.push_back({access.GetItemText(r, 0, 8192), access.GetItemText(r, 1, 8192)});
  return rows;
}

std::vector<RunningLauncher::RowState> RunningLauncher::RowStates() {
  std::vector<RowState> rows;
  ListViewAccess access;
  if (!access.Bind(list_, true)) return rows;
  const std::int32_t count = access.GetItemCount();
  for (std::int32_t r = 0; r < count; ++r) {
    const auto marks =
        static_cast<UINT>(SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED | LVIS_FOCUSED));
    rows.push_back({access.GetItemText(r, 0, 8192), access.GetItemText(r, 1, 8192), access.GetItemParam(r), marks});
  }
  return rows;
}

int RunningLauncher::SelectionMark() { return static_cast<int>(SendMessageA(list_, LVM_GETSELECTIONMARK, 0, 0)); }

HWND WaitForShownWindowOfClass(DWORD processId, const char* windowClass, std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  test::WaitUntil(
      [&] {
        for (HWND w = GetTopWindow(nullptr); w && !found; w = GetWindow(w, GW_HWNDNEXT)) {
          DWORD owner = 0;
          GetWindowThreadProcessId(w, &owner);
          if (owner == processId && IsClass(w, windowClass) && IsWindowVisible(w)) found = w;
        }
        return found != nullptr;
      },
      timeout);
  return found;
}

MessageBoxSeen AnswerMessageBox(DWORD processId, Answer answer, std::chrono::milliseconds timeout) {
  const HWND box = WaitForShownWindowOfClass(processId, "#32770", timeout);  // a message box
  MessageBoxSeen seen;
  if (box == nullptr) return seen;
  seen.shown = true;
  seen.text = WindowText(GetDlgItem(box, 0xFFFF));  // a message box's text
  seen.caption = WindowText(box);
  seen.yesNo = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDOK);
  switch (answer) {
    case Answer::kOk:
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      break;
    case Answer::kYes:
      PostMessageA(box, WM_COMMAND, IDYES, 0);
      break;
    case Answer::kNo:
      PostMessageA(box, WM_COMMAND, IDNO, 0);
      break;
    case Answer::kEnter:
      SetForegroundWindow(box);
      test::WaitUntil([&] { return GetForegroundWindow() == box; }, std::chrono::seconds(2));
      test::TapKey(VK_RETURN);
      break;
  }
  test::WaitUntil([&] { return !IsWindow(box); });
  return seen;
}

std::string TakeNotice(DWORD processId, std::chrono::milliseconds timeout) {
  return AnswerMessageBox(processId, Answer::kOk, timeout).text;
}

void RunningLauncher::ClearSelection() {
  ListViewAccess access;
  if (!access.Bind(list_, true)) return;
  // Single selection: one row at most, but never loop on a failing message.
  for (int tries = 0; tries < 8 && access.GetFirstSelected() != -1; ++tries)
    access.DeselectItem(access.GetFirstSelected());
}

int RunningLauncher::SelectedRow() {
  ListViewAccess access;
  return access.Bind(list_, true) ? access.GetFirstSelected() : -2;
}

std::string RunningLauncher::AccountText() { return WindowText(account_); }

std::string RunningLauncher::BrowserPathText() { return WindowText(browser_); }

void RunningLauncher::SetAccountText(const std::string& text) { PutWindowText(account_, text); }

void RunningLauncher::SetBrowserPathText(const std::string& text) { PutWindowText(browser_, text); }

RECT RunningLauncher::RowRect(int row) {
  // The row's rectangle, asked of the list through a block in its process.
  RECT bounds = {LVIR_BOUNDS};
  RemoteMemory memory;
  const UniqueHandle process = memory.OpenWindowProcess(list_);
  {
    RemoteBlock block(memory, process.get(), sizeof bounds);
    if (block && block.Write(&bounds, sizeof bounds) &&
        SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.Address()))) {
      const std::string read = block.Read();
      std::copy(read.begin(), read.end(), reinterpret_cast<char*>(&bounds));
    }
  }
  const POINT topLeft = test::ClientToScreenPoint(list_, {bounds.left, bounds.top});
  const POINT bottomRight = test::ClientToScreenPoint(list_, {bounds.right, bounds.bottom});
  return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

POINT RunningLauncher::RowPoint(int row) {
  const RECT bounds = RowRect(row);
  // Left part of the account column: on the row, clear of the column border.
  return POINT{bounds.left + 80, (bounds.top + bounds.bottom) / 2};
}

void RunningLauncher::SpaceClicks() {
  const auto due = lastClick_ + std::chrono::milliseconds(GetDoubleClickTime() + 150);
  const auto now = std::chrono::steady_clock::now();
  if (now < due) test::PumpMessagesFor(std::chrono::duration_cast<std::chrono::milliseconds>(due - now));
}

namespace {

// Waits (bounded) until the point on the screen lies on the window or one of
// its children: a window still being placed, or another program's window
// over it, would take the click instead.
void WaitUntilPointIsOn(HWND window, POINT at) {
  test::WaitUntil(
      [&] {
        const HWND hit = WindowFromPoint(at);
        return hit == window || IsChild(window, hit);
      },
      std::chrono::seconds(5));
}

}  // namespace

void RunningLauncher::ClickControl(HWND control) {
  SpaceClicks();
  const POINT at = test::CentreOf(control);
  WaitUntilPointIsOn(control, at);
  test::ClickAt(at);
  lastClick_ = std::chrono::steady_clock::now();
}

void RunningLauncher::ClickRow(int row) {
  SpaceClicks();
  const POINT at = RowPoint(row);
  WaitUntilPointIsOn(list_, at);
  test::ClickAt(at);
  lastClick_ = std::chrono::steady_clock::now();
}

void RunningLauncher::DoubleClickRow(int row) {
  SpaceClicks();
  const POINT at = RowPoint(row);
  WaitUntilPointIsOn(list_, at);
  test::DoubleClickAt(at);
  lastClick_ = std::chrono::steady_clock::now();
}

void RunningLauncher::DragRow(int from, int to) {
  // The list handles each movement while the button is still down: the next
  // step waits until the list has selected the row under the pointer.
  // The list's own drag detection, which runs inside its handling of the
  // press, may take a movement for itself before the handlers see it; a
  // person's pointer keeps moving, so nudge it until the row is selected.
  auto moveOver = [&](int row) {
    POINT at = RowPoint(row);
    for (int nudge = 0; nudge < 10; ++nudge) {
      at.x += nudge % 2 ? -1 : 1;
      test::MovePointerTo(at);
      if (test::WaitUntil([&] { return SelectedRow() == row; }, std::chrono::milliseconds(500))) return;
    }
  };
  SpaceClicks();
  test::MovePointerTo(RowPoint(from));
  // Move only once the program has handled the press, as a person's hand
  // would: the first movement takes the selected row as the dragged one. With
  // nothing selected beforehand, the selection shows that the press arrived.
  ClearSelection();
  test::PressLeftButton();
  test::WaitUntil([&] { return SelectedRow() == from; }, std::chrono::seconds(5));
  // Wine answers GetAsyncKeyState from a per-thread copy for up to 50 ms, so a
  // movement handled right after the press may still see the button up and
  // call the drag off. A hand rests longer than that before it moves.
  test::PumpMessagesFor(std::chrono::milliseconds(100));
  // A drop on the row itself still needs a movement over rows: go over a
  // neighbour and come back.
  if (from == to) moveOver(from > 0 ? from - 1 : from + 1);
  moveOver(to);
  test::ReleaseLeftButton();
  lastClick_ = std::chrono::steady_clock::now();
}

bool RunningLauncher::WaitForRows(const Rows& expected, const std::string& configPath,
                                  std::chrono::milliseconds timeout) {
  return test::WaitUntil([&] { return ScreenRows() == expected && StoredRows(configPath) == expected; }, timeout);
}

bool MarkedBrowser::Start(const ProgramFolder& folder, const std::string& account, const std::string& page) {
  profile_ = folder / ("qnv\\" + account);
  if (!process_.Start("\"" + folder.BrowserPath() + "\" --marker --stay-ms=60000 --title=\"" + page +
                          "\" --user-data-dir=\"" + profile_ + "\" google-chrome",
                      folder.path(), {"KL_FAKE_BROWSER_LOG=" + (folder / "direct.log")}))
    return false;
  window_ = test::WaitForProcessWindow(process_.id(), page);
  return window_ && test::WaitUntil([&] {
           return FindWindowExA(HWND_MESSAGE, nullptr, "Chrome_MessageWindow", profile_.c_str()) != nullptr;
         });
}

}  // namespace launcher_test

// Finding the browser through the places installs register it, on the real
// registry (keys this test makes and removes again) and real files.

#include "launcher/browser_discovery.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/files.h"
#include "win_test_support.h"

namespace {

constexpr char kIconKey[] = "ChromeHTML";  // under HKEY_CLASSES_ROOT
constexpr char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe";
constexpr char kStartMenuKey[] = "Software\\Clients\\StartMenuInternet";
const std::string kPathError = "\xC2\xB7\xBE\xB6\xB4\xED\xCE\xF3";  // 路径错误

bool SetText(HKEY root, const std::string& key, const char* valueName, const std::string& text) {
  HKEY opened = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
    return false;
  const bool set = RegSetValueExA(opened, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
  RegCloseKey(opened);
  return set;
}

void RemoveUserKeys() {
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kIconKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, kAppPathsKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, kStartMenuKey);
}

class BrowserDiscovery : public ::testing::Test {
 public:
  void SetUp() override {
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("LOCALAPPDATA", value, sizeof value);
    localAppData_.assign(value, n);
    SetEnvironmentVariableA("LOCALAPPDATA", (temp_ / "no-local").c_str());
    RemoveUserKeys();
    ASSERT_TRUE(test::WriteWholeFile(installed(), "exe"));
    ASSERT_TRUE(CreateDirectoryA((temp_ / "a,b").c_str(), nullptr));
    ASSERT_TRUE(test::WriteWholeFile(temp_ / "a,b\\chrome.exe", "exe"));
  }
  void TearDown() override {
    RemoveUserKeys();
    SetEnvironmentVariableA("LOCALAPPDATA", localAppData_.empty() ? nullptr : localAppData_.c_str());
  }
  std::string installed() const { return temp_ / "chrome.exe"; }
  std::string missing() const { return temp_ / "missing\\chrome.exe"; }

  static bool SetIcon(const std::string& icon) {
    return SetText(HKEY_CLASSES_ROOT, std::string(kIconKey) + "\\Application", "ApplicationIcon", icon);
  }
  static bool SetAppPath(const std::string& path) { return SetText(HKEY_CURRENT_USER, kAppPathsKey, "", path); }
  static bool SetStartMenu(const std::string& entry, const std::string& command) {
    return SetText(HKEY_CURRENT_USER, std::string(kStartMenuKey) + "\\" + entry + "\\shell\\open\\command", "",
                   command);
  }

  test::TempFolder temp_;
  std::string localAppData_;
};

TEST_F(BrowserDiscovery, TakesTheFirstSourceThatNamesAFile) {
  struct Case {
    const char* name;
    std::function<bool(BrowserDiscovery&)> arrange;
    std::function<std::string(BrowserDiscovery&)> expected;
  };
  const Case cases[] = {
      {"icon names the file", [](auto& t) { return SetIcon(t.installed() + ",0"); },
       [](auto& t) { return t.installed(); }},
      {"icon of a missing file, App Paths",
       [](auto& t) { return SetIcon(t.missing() + ",0") && SetAppPath(t.installed()); },
       [](auto& t) { return t.installed(); }},
      {"App Paths of a missing file, the start menu entry",
       [](auto& t) {
         return SetAppPath(t.missing()) && SetStartMenu("Google Chrome.PERUSER", "\"" + t.installed() + "\" -- \"%1\"");
       },
       [](auto& t) { return t.installed(); }},
      {"another browser's start menu entry is passed over",
       [](auto& t) { return SetStartMenu("Other Browser", "\"" + t.installed() + "\""); },
       [](auto&) { return kPathError; }},
      {"the per-user folder",
       [](auto& t) {
         SetEnvironmentVariableA("LOCALAPPDATA", (t.temp_ / "local").c_str());
         return EnsureFolderPath(t.temp_ / "local\\Google\\Chrome\\Application\\") &&
                test::WriteWholeFile(t.temp_ / "local\\Google\\Chrome\\Application\\chrome.exe", "exe");
       },
       [](auto& t) { return t.temp_ / "local\\Google\\Chrome\\Application\\chrome.exe"; }},
      {"nothing names a file: what the icon holds", [](auto& t) { return SetIcon(t.missing() + ",0"); },
       [](auto& t) { return t.missing(); }},
      {"nothing at all", [](auto&) { return true; }, [](auto&) { return kPathError; }},
      {"a comma in the path", [](auto& t) { return SetIcon(t.temp_ / "a,b\\chrome.exe"); },
       [](auto& t) { return t.temp_ / "a,b\\chrome.exe"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveUserKeys();
    SetEnvironmentVariableA("LOCALAPPDATA", (temp_ / "no-local").c_str());
    ASSERT_TRUE(c.arrange(*this));
    EXPECT_EQ(FindBrowserPath(), c.expected(*this));
  }
}

}  // namespace

#include "launcher/browser_text.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(BrowserPathFromIconLocation, CutsOnlyAnIconIndex) {
  struct Case {
    const char* icon;
    const char* path;
  };
  const Case cases[] = {
      {"C:\\B\\chrome.exe,0", "C:\\B\\chrome.exe"},
      {"C:\\B\\chrome.exe,12", "C:\\B\\chrome.exe"},
      {"C:\\B\\chrome.exe,-3", "C:\\B\\chrome.exe"},
      {"C:\\B\\chrome.exe,+1", "C:\\B\\chrome.exe"},
      {"\"C:\\B\\chrome.exe\",0", "C:\\B\\chrome.exe"},
      {"C:\\B\\chrome.exe", "C:\\B\\chrome.exe"},
      {"C:\\a,b\\chrome.exe", "C:\\a,b\\chrome.exe"},
      {"C:\\a,b\\chrome.exe,0", "C:\\a,b\\chrome.exe"},
      {"C:\\a,1\\chrome.exe", "C:\\a,1\\chrome.exe"},
      {"C:\\B\\chrome.exe,", "C:\\B\\chrome.exe,"},
      {"C:\\B\\chrome.exe,-", "C:\\B\\chrome.exe,-"},
      {"C:\\B\\chrome.exe,0x1", "C:\\B\\chrome.exe,0x1"},
      {"C:\\B\\chrome.exe, 0", "C:\\B\\chrome.exe, 0"},
      {",0", ""},
      {"", ""},
      {"\xC2\xB7\xBE\xB6,0", "\xC2\xB7\xBE\xB6"},  // 路径
  };
  for (const Case& c : cases) EXPECT_EQ(BrowserPathFromIconLocation(c.icon), c.path) << c.icon;
}

TEST(BrowserPathFromOpenCommand, TakesTheProgramOfTheCommand) {
  struct Case {
    const char* command;
    const char* path;
  };
  const Case cases[] = {
      {"\"C:\\Program Files\\G\\chrome.exe\" -- \"%1\"", "C:\\Program Files\\G\\chrome.exe"},
      {"\"C:\\Program Files\\G\\chrome.exe\"", "C:\\Program Files\\G\\chrome.exe"},
      {"  \"C:\\G\\chrome.exe\" x", "C:\\G\\chrome.exe"},
      {"\"C:\\G\\chrome.exe", "C:\\G\\chrome.exe"},
      {"C:\\G\\chrome.exe --flag", "C:\\G\\chrome.exe"},
      {"C:\\Program Files\\G\\CHROME.EXE", "C:\\Program Files\\G\\CHROME.EXE"},
      {"C:\\a.exec\\chrome.exe -x", "C:\\a.exec\\chrome.exe"},
      {"C:\\G\\chrome", "C:\\G\\chrome"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BrowserPathFromOpenCommand(c.command), c.path) << c.command;
}

TEST(BrowserFileOfField, TakesThePathAsTypedWithoutBlanksAndQuotes) {
  struct Case {
    const char* field;
    const char* file;
  };
  const Case cases[] = {
      {"C:\\Program Files\\G\\chrome.exe", "C:\\Program Files\\G\\chrome.exe"},
      {"\"C:\\Program Files\\G\\chrome.exe\"", "C:\\Program Files\\G\\chrome.exe"},
      {"  \" C:\\G\\chrome.exe \"  ", "C:\\G\\chrome.exe"},
      {"\"C:\\G\\chrome.exe", "\"C:\\G\\chrome.exe"},  // an unclosed quote stays, and names no file
      {"\"\"", ""},
      {"   ", ""},
      {"\xC2\xB7\xBE\xB6\xB4\xED\xCE\xF3", "\xC2\xB7\xBE\xB6\xB4\xED\xCE\xF3"},  // 路径错误
  };
  for (const Case& c : cases) EXPECT_EQ(BrowserFileOfField(c.field), c.file) << c.field;
}

TEST(HasProgramExtension, OnlyAClosingDotExeInAnyCase) {
  const std::pair<const char*, bool> cases[] = {
      {"C:\\G\\chrome.exe", true},
      {"CHROME.EXE", true},
      {".exe", true},
      {"chrome.Exe", true},
      {"chrome.exe ", false},
      {"chrome.com", false},
      {"chrome.exe.lnk", false},
      {"exe", false},
      {"chrome", false},
      {"", false},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(HasProgramExtension(path), expected) << path;
}

}  // namespace

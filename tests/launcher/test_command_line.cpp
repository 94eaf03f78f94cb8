#include "launcher/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ConsoleUrl, IsAnHttpsAddressEndingWithSlash) {
  const std::string_view url = ConsoleUrl();
  EXPECT_EQ(url.substr(0, 8), "https://");
  ASSERT_FALSE(url.empty());
  EXPECT_EQ(url.back(), '/');
}

TEST(BrowserCommandLine, PlainPathGivesTheLineByteExact) {
  EXPECT_EQ(BuildBrowserCommandLine("C:\\B\\chrome.exe", false, "D:\\T\\qnv\\123", "https://m.example.com/"),
            "C:\\B\\chrome.exe --user-data-dir=\"D:\\T\\qnv\\123\" google-chrome --app=\"https://m.example.com/\"");
  EXPECT_EQ(BuildBrowserCommandLine("C:\\B\\chrome.exe", false, "D:\\T\\qnv\\123", ConsoleUrl()),
            std::string("C:\\B\\chrome.exe --user-data-dir=\"D:\\T\\qnv\\123\" google-chrome --app=\"") +
                std::string(ConsoleUrl()) + "\"");
}

TEST(BrowserCommandLine, AnExistingBrowserFileIsQuoted) {
  EXPECT_EQ(BuildBrowserCommandLine("C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe", true,
                                    "D:\\T\\qnv\\123", "https://m.example.com/"),
            "\"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\" --user-data-dir=\"D:\\T\\qnv\\123\" "
            "google-chrome --app=\"https://m.example.com/\"");
}

TEST(BrowserCommandLine, EmptyAccountLeavesTheProfilePathEndingInABackslash) {
  EXPECT_EQ(BuildBrowserCommandLine("chrome", false, "D:\\T\\qnv\\", "https://m/"),
            "chrome --user-data-dir=\"D:\\T\\qnv\\\" google-chrome --app=\"https://m/\"");
}

TEST(ProfileName, AcceptsOrdinaryAccountTexts) {
  const char* const accepted[] = {
      "13800138000",
      "\xB5\xEA\xC6\xCC\xD2\xBB",  // 店铺一
      "a\\b",
      "\x81\x5C",     // 乗: its second byte is a backslash
      "\x95\x5C\\x",  // 昞, then a real backslash and a second folder
      "\x81\x7C",     // 亅: its second byte is "|"
      "a.b",
      " lead space",
      "shop-1_(2)",
      "CONSOLE",
      "COM10",
      "nul1",
      "con\x81\x40",
      "x.con",
      "a~b",
      "~",
      "a~",
      "~a1",
  };
  for (const char* name : accepted) EXPECT_TRUE(IsValidProfileName(name, IsGbkLeadByte)) << name;
}

TEST(ProfileName, RefusesWhatCannotBeAFolderInsideTheProfileRoot) {
  struct Case {
    std::string_view name;
    const char* why;
  };
  const Case refused[] = {
      {"", "empty"},
      {"\\a", "rooted"},
      {"a\\", "trailing backslash"},
      {"a\\\\b", "double backslash"},
      {".", "dot segment"},
      {"..", "dot-dot segment"},
      {"a\\..\\b", "dot-dot inside"},
      {"..\\x", "climbs out"},
      {".. ", "dot-dot with a blank Windows strips"},
      {"a.", "ends in a dot"},
      {"a \\b", "segment ends in a blank"},
      {"a ", "ends in a blank"},
      {"C:", "drive"},
      {"C:x", "drive-relative"},
      {"a/b", "forward slash"},
      {"/a", "forward slash rooted"},
      {"a<b", "<"},
      {"a>b", ">"},
      {"a:b", ":"},
      {"a\"b", "quote"},
      {"a|b", "bar"},
      {"a?b", "question mark"},
      {"a*b", "star"},
      {"a\x01", "control 01"},
      {"a\tb", "tab"},
      {"a\x1F", "control 1F"},
      {std::string_view("a\0b", 3), "zero byte"},
      {"CON", "device"},
      {"con", "device, lower case"},
      {"Prn", "device, mixed case"},
      {"aux.txt", "device with extension"},
      {"NUL.tar.gz", "device with two extensions"},
      {"nul .txt", "device with blank before extension"},
      {"COM1", "COM1"},
      {"com9", "com9"},
      {"LPT1", "LPT1"},
      {"lpt9.log", "lpt9 with extension"},
      {"shop\\CON", "device as a nested folder"},
      {"\xB5", "lead byte at the end"},
      {"a\\\xB5\xEA\xC6", "second character cut"},
      {"\xB5\x30", "lead byte with a byte that cannot follow it"},
      {"\xB5\x7F", "lead byte followed by DEL"},
      {"\xB5\xFF", "lead byte followed by FF"},
      {"138001~1", "could be the short name of another folder"},
      {"a\\PROGRA~12\\b", "short-name form in a middle segment"},
      {"~0", "short-name form at the start"},
  };
  for (const Case& c : refused) EXPECT_FALSE(IsValidProfileName(c.name, IsGbkLeadByte)) << c.why;
}

// Code page 1252 has no double-byte characters: every byte stands alone.
bool NoLeadByte(std::uint8_t) { return false; }

TEST(ProfileName, DoubleBytesFollowTheCodePagesRule) {
  struct Case {
    const char* name;
    bool under936;
    bool under1252;
  };
  const Case cases[] = {
      {"Jos\xE9", false, true},    // José; under 936 a lead byte with nothing after it
      {"Jos\xE9x", true, true},    // under 936 one character "\xE9x"
      {"\xE9\\", true, false},     // one character under 936; a trailing backslash under 1252
      {"\xE9\\a", true, true},     // one name under 936, two folders under 1252
      {"\x81\x7C", true, false},   // the second byte is "|" on its own under 1252
      {"\xB5", false, true},       // a cut character under 936, "µ" under 1252
      {"\xB5\x30", false, true},   // no character under 936, "µ0" under 1252
      {"a\\\xE9\\", true, false},  // a nested folder that ends in a backslash under 1252
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidProfileName(c.name, IsGbkLeadByte), c.under936) << c.name;
    EXPECT_EQ(IsValidProfileName(c.name, NoLeadByte), c.under1252) << c.name;
  }
}

}  // namespace

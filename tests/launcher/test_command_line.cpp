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
  };
  for (const char* name : accepted) EXPECT_TRUE(IsValidProfileName(name)) << name;
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
  };
  for (const Case& c : refused) EXPECT_FALSE(IsValidProfileName(c.name)) << c.why;
}

}  // namespace

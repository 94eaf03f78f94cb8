// The one double-byte rule, the system ANSI code page's, in every byte walk.
// Run twice: in code page 936 and, with the locale set to en_US, in 1252
// (KL_EXPECT_CODE_PAGE tells which one the run is meant to have).

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/code_page.h"
#include "host/files.h"
#include "host/handles.h"
#include "host/registry.h"
#include "host/texts.h"
#include "launcher/command_line.h"
#include "win_test_support.h"

namespace {

constexpr std::int32_t kCurrentUser = 3;
constexpr char kTestKey[] = "Software\\KestrunLauncherCodePageTest";

bool Under1252() { return GetACP() == 1252; }

TEST(CodePage, IsTheOneThisRunIsFor) {
  const char* expected = std::getenv("KL_EXPECT_CODE_PAGE");
  ASSERT_NE(expected, nullptr) << "the test is registered with the code page it expects";
  EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

TEST(CodePage, ProfileNamesAreReadByTheSystemsRule) {
  struct Case {
    const char* name;
    bool under936;
    bool under1252;
  };
  const Case cases[] = {
      {"Jos\xE9", false, true},   // José: under 936 a lead byte with nothing after it
      {"\xE9\\", true, false},    // one character under 936; é and a closing backslash under 1252
      {"\x81\x7C", true, false},  // the second byte is "|" on its own under 1252
      {"\xB5\xEA\xC6\xCC", true, true}, {"\xB5\x30", false, true}, {"13800138000", true, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsValidProfileName(c.name, IsAnsiLeadByte), Under1252() ? c.under1252 : c.under936) << c.name;
}

TEST(CodePage, FolderWalkSplitsAtTheSystemsBackslashes) {
  test::TempFolder temp;
  // "\xE9\x5C" is one character under 936, "é" and a separator under 1252.
  ASSERT_TRUE(EnsureFolderPath(temp / "\xE9\\x\\"));
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  UniqueFind find(FindFirstFileA((temp / "*").c_str(), &entry));
  ASSERT_TRUE(find);
  do
    if (entry.cFileName[0] != '.') names.push_back(entry.cFileName);
  while (FindNextFileA(find.get(), &entry));
  EXPECT_EQ(names, std::vector<std::string>{Under1252() ? "\xE9" : "\xE9\\x"});
}

TEST(CodePage, RegistryPathsSplitAtTheSystemsLastBackslash) {
  UniqueRegKey key;
  const std::string subkey = std::string(kTestKey) + "\\\xE9";
  // Deleted key by key (Wine's RegDeleteTreeA crashes on this name under 936).
  const auto removeKeys = [&] {
    RegDeleteKeyA(HKEY_CURRENT_USER, subkey.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
  };
  removeKeys();
  ASSERT_EQ(
      RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
      ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key.get(), "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("found"), 6), ERROR_SUCCESS);
  key.reset();
  // Under 1252 the key is "...\é" and the value "v"; under 936 "\xE9\\" is one
  // character, so the value would be named "\xE9\\v" under the test key.
  const std::optional<std::string> read = TryReadRegistryText(kCurrentUser, subkey + "\\v");
  removeKeys();
  if (Under1252())
    EXPECT_EQ(read, std::optional<std::string>("found"));
  else
    EXPECT_EQ(read, std::nullopt);
}

TEST(CodePage, NarrowsOnlyWhatTheCodePageCanSpell) {
  struct Case {
    const wchar_t* text;
    const char* under936;  // nullptr: the code page cannot spell it
    const char* under1252;
  };
  const Case cases[] = {
      {L"13800000000", "13800000000", "13800000000"},
      {L"\u5e97\u94fa\u4e00", "\xB5\xEA\xC6\xCC\xD2\xBB", nullptr},  // 店铺一
      {L"Jos\u00e9", "Jos\xA8\xA6", "Jos\xE9"},                      // é is a pinyin letter of 936
      {L"\u0e01", nullptr, nullptr},                                 // Thai
      {L"\uff3c", "\xA3\xDC", nullptr},  // full-width backslash: no plain "\\" stands in for it
      {L"", "", ""},
  };
  for (const Case& c : cases) {
    const char* expected = Under1252() ? c.under1252 : c.under936;
    std::string ansi = "left over";
    EXPECT_EQ(NarrowToAnsi(c.text, ansi), expected != nullptr) << test::Narrow(c.text);
    EXPECT_EQ(ansi, expected ? expected : "");
    if (expected) {
      EXPECT_EQ(WidenAnsi(ansi), c.text);
    }
  }
}

TEST(CodePage, TheStringTableIsFoundInEitherLanguage) {
  EXPECT_EQ(ProgramText(KL_TEXT_PATH_ERROR), L"\u8def\u5f84\u9519\u8bef");
  EXPECT_EQ(ProgramTextAnsi(KL_TEXT_PATH_ERROR), Under1252() ? "????" : "\xC2\xB7\xBE\xB6\xB4\xED\xCE\xF3");
}

}  // namespace

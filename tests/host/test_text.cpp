#include "host/text.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

TEST(TextLeft, CutsAtTheCountOrKeepsTheWholeText) {
  struct Case {
    std::int64_t count;
    const char* expected;
  };
  const Case cases[] = {{-1, ""},     {0, ""},         {3, "abc"},          {5, "abcde"},
                        {9, "abcde"}, {INT64_MIN, ""}, {INT64_MAX, "abcde"}};
  for (const Case& c : cases) {
    EXPECT_EQ(TextLeft("abcde", c.count), c.expected) << "count " << c.count;
  }
}

TEST(TextLeft, CutsInsideADoubleByteCharacterAtTheByte) {
  const std::string text = "\xB5\xEA\xC6\xCC";  // two GBK characters, four bytes
  EXPECT_EQ(TextLeft(text, 1), "\xB5");
  EXPECT_EQ(TextLeft(text, 3), "\xB5\xEA\xC6");
  EXPECT_EQ(TextLength(text), 4u);
}

TEST(ToText, WritesPlainDecimal) {
  struct Case {
    std::int32_t value;
    const char* expected;
  };
  const Case cases[] = {
      {0, "0"}, {7, "7"}, {-12, "-12"}, {1000, "1000"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
  for (const Case& c : cases) EXPECT_EQ(ToText(c.value), c.expected);
}

TEST(ToBytes, IntegerIsLittleEndianAndTextHasNoClosingZero) {
  EXPECT_EQ(ToBytes(8), (Bytes{0x08, 0x00, 0x00, 0x00}));
  EXPECT_EQ(ToBytes(0), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(ToBytes(-1), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ToBytes(0x01020304), (Bytes{0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(ToBytes(std::string_view("ab\xB5")), (Bytes{'a', 'b', 0xB5}));
  EXPECT_TRUE(ToBytes(std::string_view()).empty());
}

TEST(JoinTexts, ConcatenatesInOrder) {
  EXPECT_EQ(JoinTexts({"D:\\T", "\\qnv\\", "123", "\\"}), "D:\\T\\qnv\\123\\");
  EXPECT_EQ(JoinTexts({"", "a", ""}), "a");
}

TEST(TextEquals, ComparesBytes) {
  EXPECT_TRUE(TextEquals("", std::string()));
  EXPECT_TRUE(TextEquals("abc", "abc"));
  EXPECT_FALSE(TextEquals("abc", "ABC"));
  EXPECT_FALSE(TextEquals("abc", "ab"));
}

bool NoLeadByte(std::uint8_t) { return false; }

TEST(FindLastCharacter, SkipsSecondBytesByTheRuleGiven) {
  struct Case {
    std::string_view text;
    std::size_t under936;
    std::size_t under1252;
  };
  constexpr std::size_t none = std::string_view::npos;
  const Case cases[] = {
      {"", none, none},      {"a\\b\\c", 3, 3},
      {"\x95\x5C", none, 1},  // 昞: its second byte is 0x5C
      {"a\\\x95\x5C", 1, 3}, {"\x95\x5C\\", 2, 2},
      {"\xE9\\", none, 1},   // é and a backslash under 1252, one character under 936
      {"\x95", none, none},  // a lead byte at the end stands alone
      {"\\\x95", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindLastCharacter(c.text, '\\', IsGbkLeadByte), c.under936) << c.text;
    EXPECT_EQ(FindLastCharacter(c.text, '\\', NoLeadByte), c.under1252) << c.text;
  }
}

TEST(NextCharacter, StepsOverWholeCharacters) {
  EXPECT_EQ(NextCharacter("\xB5\xEAx", 0, IsGbkLeadByte), 2u);
  EXPECT_EQ(NextCharacter("\xB5\xEAx", 0, NoLeadByte), 1u);
  EXPECT_EQ(NextCharacter("\xB5\xEAx", 2, IsGbkLeadByte), 3u);
  EXPECT_EQ(NextCharacter("x\xB5", 1, IsGbkLeadByte), 2u);  // a cut character ends the text
}

TEST(IsGbkLeadByte, CoversTheLeadRangeOnly) {
  EXPECT_FALSE(IsGbkLeadByte(0x00));
  EXPECT_FALSE(IsGbkLeadByte(0x5C));
  EXPECT_FALSE(IsGbkLeadByte(0x80));
  EXPECT_TRUE(IsGbkLeadByte(0x81));
  EXPECT_TRUE(IsGbkLeadByte(0xB5));
  EXPECT_TRUE(IsGbkLeadByte(0xFE));
  EXPECT_FALSE(IsGbkLeadByte(0xFF));
}

TEST(FillPlaceholders, PutsEachArgumentInItsPlace) {
  struct Case {
    const wchar_t* pattern;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"%1 of %2", L"three of 12"},
      {L"%2 before %1", L"12 before three"},
      {L"%1%1", L"threethree"},
      {L"100%% sure", L"100% sure"},
      {L"%3 stays", L"%3 stays"},
      {L"50% and %", L"50% and %"},
      {L"%0 and %a", L"%0 and %a"},
      {L"", L""},
      {L"%%1 is no placeholder", L"%1 is no placeholder"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FillPlaceholders(c.pattern, {L"three", L"12"}), c.expected)
        << testing::PrintToString(std::wstring(c.pattern));
}

TEST(FillPlaceholders, TakesArgumentsThatHoldPercentSignsAsTheyAre) {
  EXPECT_EQ(FillPlaceholders(L"[%1] [%2]", {L"%2", L"x"}), L"[%2] [x]");
}

}  // namespace

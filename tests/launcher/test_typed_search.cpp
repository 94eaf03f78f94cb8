// Find by typing: the match inside an account text, the wrapping search over
// the rows, and what counts as one search.
#include "launcher/typed_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

bool NoLeadBytes(std::uint8_t) { return false; }

struct ContainsCase {
  const char* name;
  std::string text;
  std::string typed;
  bool gbk;  // the double-byte rule of code page 936, else single bytes
  bool expected;
};

// 中 is D6 D0, 文 is CE C4, 承 is B3 D0: the second byte of 中 and 承 is the
// same, and D0 D6 spans the boundary between 中 and 中 in "中中".
const ContainsCase kContains[] = {
    {"start", "13800000001", "138", true, true},
    {"middle", "13800000001", "0000", true, true},
    {"end", "13800000001", "001", true, true},
    {"whole", "13800000001", "13800000001", true, true},
    {"longer than the text", "138", "1380", true, false},
    {"absent", "13800000001", "139", true, false},
    {"empty text", "", "1", true, false},
    {"nothing typed", "13800000001", "", true, false},
    {"ascii letters without regard to case", "Shop-ABC", "shop-a", true, true},
    {"chinese", "\xB5\xEA\xC6\xCC\xD6\xD0\xCE\xC4", "\xD6\xD0", true, true},
    {"a second byte starts no match", "\xD6\xD0\xD6\xD0", "\xD0\xD6", true, false},
    {"a second byte that is a letter", "\xB5\x41", "a", true, false},
    {"a trail byte is not folded", "\xB5\x41", "\xB5\x61", true, false},
    {"the same bytes single-byte match anywhere", "\xD6\xD0\xD6\xD0", "\xD0\xD6", false, true},
    {"the same second byte, another character", "\xB3\xD0", "\xD0", true, false},
};

class ContainsTypedTest : public ::testing::TestWithParam<ContainsCase> {};

TEST_P(ContainsTypedTest, MatchesWholeCharacters) {
  const ContainsCase& c = GetParam();
  EXPECT_EQ(ContainsTyped(c.text, c.typed, c.gbk ? IsGbkLeadByte : NoLeadBytes), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ContainsTypedTest, ::testing::ValuesIn(kContains),
                         [](const ::testing::TestParamInfo<ContainsCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

const std::vector<std::string> kAccounts = {"13800000001", "13900000002", "shop", "13800000003", "15000000138"};

struct FindCase {
  const char* name;
  std::int32_t start;
  std::string typed;
  std::int32_t expected;
};

class FindRowTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindRowTest, SearchesFromTheStartRowRoundTheList) {
  const FindCase& c = GetParam();
  std::vector<std::int32_t> read;
  const auto textOf = [&](std::int32_t row) {
    read.push_back(row);
    return kAccounts[static_cast<std::size_t>(row)];
  };
  EXPECT_EQ(FindRowContaining(static_cast<std::int32_t>(kAccounts.size()), c.start, c.typed, textOf, IsGbkLeadByte),
            c.expected);
  // Each row is read at most once.
  std::vector<std::int32_t> sorted = read;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FindRowTest,
    ::testing::Values(FindCase{"FromTheTop", 0, "138", 0}, FindCase{"TheStartRowIncluded", 3, "138", 3},
                      FindCase{"OnFromTheStart", 1, "138", 3}, FindCase{"ContainsNotStartsWith", 4, "138", 4},
                      FindCase{"WrapsRound", 4, "139", 1}, FindCase{"StartPastTheEndIsTheTop", 5, "138", 0},
                      FindCase{"None", 2, "999", -1}),
    [](const ::testing::TestParamInfo<FindCase>& info) { return std::string(info.param.name); });

TEST(FindRowTest, AnEmptyListHasNoRow) {
  EXPECT_EQ(FindRowContaining(
                0, 0, "1", [](std::int32_t) { return std::string("1"); }, IsGbkLeadByte),
            -1);
}

// One typed character after another: what is looked for and from where.
struct TypeStep {
  std::string character;
  bool spelled;
  std::uint32_t atMs;
  std::int32_t selected;
  std::int32_t found;  // given to Found afterwards, -1 nothing found
  std::int32_t from;   // expected
  std::string typed;   // expected
  bool stillSpelled;   // expected
};

TEST(TypedSearchTest, APauseStartsANewSearchAfterTheSelectedRow) {
  const std::vector<TypeStep> steps = {
      {"1", true, 5000, 2, 4, 3, "1", true},       // new: after the selected row
      {"3", true, 5400, 4, 4, 4, "13", true},      // on from the row found, included
      {"8", true, 6400, 4, 7, 4, "138", true},     // 1000 ms is no pause yet
      {"0", true, 7401, 7, -1, 8, "0", true},      // 1001 ms is: a new search
      {"5", true, 7600, 7, -1, 8, "05", true},     // nothing found: from where it began
      {"?", false, 7700, 7, -1, 8, "05?", false},  // a character the code page lacks
      {"1", true, 7800, 7, -1, 8, "05?1", false},  // matches nothing until the pause
      {"9", true, 9000, -1, 0, 0, "9", true},      // no row selected: from the top
      {"\xD6\xD0", true, 9100, 0, 0, 0, "9\xD6\xD0", true},
  };
  TypedSearch search;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const TypeStep& s = steps[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(search.Type(s.character, s.spelled, s.atMs, s.selected), s.from);
    EXPECT_EQ(search.Typed(), s.typed);
    EXPECT_EQ(search.Spelled(), s.stillSpelled);
    if (s.found >= 0) search.Found(s.found);
  }
}

TEST(TypedSearchTest, ThePauseIsMeasuredAcrossTheWrapOfTheCount) {
  TypedSearch search;
  search.Type("1", true, 0xFFFFFF00u, 0);
  search.Found(3);
  EXPECT_EQ(search.Type("2", true, 0x00000100u, 0), 3) << "0x200 ms later";
  EXPECT_EQ(search.Typed(), "12");
  EXPECT_EQ(search.Type("3", true, 0x00000100u + 1001, 0), 1);
  EXPECT_EQ(search.Typed(), "3");
}

}  // namespace

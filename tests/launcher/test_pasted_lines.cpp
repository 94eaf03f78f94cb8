// The accounts read from a pasted text, and the text the list is copied as.
#include "launcher/pasted_lines.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

using Accounts = std::vector<std::wstring>;

struct PasteCase {
  const char* name;
  std::wstring text;
  Accounts expected;
};

const PasteCase kPastes[] = {
    {"nothing", L"", {}},
    {"one line without an end", L"13800000001", {L"13800000001"}},
    {"crlf", L"a\r\nb\r\nc", {L"a", L"b", L"c"}},
    {"lf", L"a\nb\nc\n", {L"a", L"b", L"c"}},
    {"cr", L"a\rb\rc\r", {L"a", L"b", L"c"}},
    {"mixed ends", L"a\r\nb\nc\rd", {L"a", L"b", L"c", L"d"}},
    {"lf cr is two ends", L"a\n\rb", {L"a", L"b"}},
    {"blank lines are skipped", L"\r\n\r\na\r\n\r\n\n\rb\r\n\r\n", {L"a", L"b"}},
    {"lines of spaces are skipped", L"a\r\n   \r\n\t\r\nb", {L"a", L"b"}},
    {"the first cell of a row",
     L"13800000001\t\u5e97\u94fa\u4e00\t2024\r\n13800000002\t\t\r\n",
     {L"13800000001", L"13800000002"}},
    {"an empty first cell is an empty line", L"\tname\r\na", {L"a"}},
    {"spaces around the first cell", L"  13800000001 \t x \r\n", {L"13800000001"}},
    {"spaces inside stay", L"  shop one  ", {L"shop one"}},
    {"no-break and full-width spaces", L"\u00a0\u3000\u5e97\u94fa\u3000\u00a0", {L"\u5e97\u94fa"}},
    {"other white space stays", L"\va\f", {L"\va\f"}},
    {"duplicates stay", L"a\r\na\r\n", {L"a", L"a"}},
    {"characters outside any code page pass",
     L"\U0001F600\r\n\u0e44\u0e17\u0e22",
     {L"\U0001F600", L"\u0e44\u0e17\u0e22"}},
};

class PastedAccountsOf : public ::testing::TestWithParam<PasteCase> {};

TEST_P(PastedAccountsOf, TakesOneAccountPerNonEmptyLine) {
  EXPECT_EQ(PastedAccounts(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, PastedAccountsOf, ::testing::ValuesIn(kPastes),
                         [](const ::testing::TestParamInfo<PasteCase>& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c; ++c) name += std::isalnum(*c) ? *c : '_';
                           return name;
                         });

TEST(AccountLines, PutsCrlfBetweenTheAccountsAndNoneAfterTheLast) {
  EXPECT_EQ(AccountLines({}), L"");
  EXPECT_EQ(AccountLines({L"a"}), L"a");
  EXPECT_EQ(AccountLines({L"a", L"", L"\u5e97"}), L"a\r\n\r\n\u5e97");
}

TEST(AccountLines, PastedBackGivesTheSameAccounts) {
  const Accounts accounts = {L"13800000001", L"shop one", L"\u5e97\u94fa\u4e00"};
  EXPECT_EQ(PastedAccounts(AccountLines(accounts)), accounts);
}

}  // namespace

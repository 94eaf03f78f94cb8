// The program's string table: every text number has its text, read as the
// UTF-8 source spells it, whatever the user's language.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "host/texts.h"

namespace {

// text_ids.h as it stands in the source, put here by the build.
constexpr std::string_view kTextIdsHeader =
#include "text_ids_header.inc"
    ;

struct TextNumber {
  std::string name;
  unsigned id;
};

// The numbers that text_ids.h defines, in its order.
std::vector<TextNumber> DefinedTextNumbers() {
  std::vector<TextNumber> numbers;
  constexpr std::string_view kDefine = "#define KL_TEXT_";
  for (std::size_t at = kTextIdsHeader.find(kDefine); at != std::string_view::npos;
       at = kTextIdsHeader.find(kDefine, at + 1)) {
    const std::size_t nameStart = at + std::string_view("#define ").size();
    const std::size_t nameEnd = kTextIdsHeader.find(' ', nameStart);
    const std::size_t lineEnd = kTextIdsHeader.find('\n', nameEnd);
    const std::string value(kTextIdsHeader.substr(nameEnd + 1, lineEnd - nameEnd - 1));
    numbers.push_back(
        {std::string(kTextIdsHeader.substr(nameStart, nameEnd - nameStart)), static_cast<unsigned>(std::stoul(value))});
  }
  return numbers;
}

TEST(ProgramTexts, EveryTextNumberHasItsText) {
  const std::vector<TextNumber> numbers = DefinedTextNumbers();
  ASSERT_FALSE(numbers.empty()) << "text_ids.h was not read";
  for (const TextNumber& number : numbers) EXPECT_FALSE(ProgramText(number.id).empty()) << number.name;
}

TEST(ProgramTexts, NoTwoNamesShareANumber) {
  const std::vector<TextNumber> numbers = DefinedTextNumbers();
  for (std::size_t i = 0; i < numbers.size(); ++i)
    for (std::size_t j = i + 1; j < numbers.size(); ++j)
      EXPECT_NE(numbers[i].id, numbers[j].id) << numbers[i].name << " and " << numbers[j].name;
}

TEST(ProgramTexts, AreReadAsTheirUtf8SourceSpellsThem) {
  EXPECT_EQ(ProgramText(KL_TEXT_PATH_ERROR), L"\u8def\u5f84\u9519\u8bef");  // 路径错误
  EXPECT_EQ(ProgramText(KL_TEXT_PROGRAM_NAME), L"KestrunLauncher");
}

TEST(ProgramTexts, ANumberWithoutTextGivesTheEmptyText) {
  EXPECT_EQ(ProgramText(65000), L"");
  EXPECT_EQ(ProgramText(65000, {L"x"}), L"");
}

// The list's menu as the user reads it: the access key after "&", the
// shortcut after a tab, in the order of the menu.
TEST(ProgramTexts, TheListMenusItemsCarryTheirAccessKeysAndShortcuts) {
  const std::vector<std::wstring> items = {
      ProgramText(KL_TEXT_MENU_OPEN),          ProgramText(KL_TEXT_MENU_TO_WINDOW),
      ProgramText(KL_TEXT_MENU_COPY),          ProgramText(KL_TEXT_MENU_PROFILE_FOLDER),
      ProgramText(KL_TEXT_MENU_CLEAR_PROFILE), ProgramText(KL_TEXT_MENU_DELETE),
      ProgramText(KL_TEXT_MENU_PASTE),         ProgramText(KL_TEXT_MENU_COPY_ALL),
      ProgramText(KL_TEXT_MENU_UNDO)};
  const std::vector<std::wstring> expected = {
      L"\u6253\u5f00(&O)",                                                  // 打开
      L"\u5207\u6362\u5230\u7a97\u53e3(&W)",                                // 切换到窗口
      L"\u590d\u5236\u8d26\u53f7(&C)\tCtrl+C",                              // 复制账号
      L"\u6253\u5f00\u914d\u7f6e\u6587\u4ef6\u5939(&F)",                    // 打开配置文件夹
      L"\u6e05\u9664\u6b64\u8d26\u53f7\u7684\u4e34\u65f6\u6587\u4ef6(&R)",  // 清除此账号的临时文件
      L"\u5220\u9664(&D)\tDelete",                                          // 删除
      L"\u7c98\u8d34\u8d26\u53f7(&V)\tCtrl+V",                              // 粘贴账号
      L"\u590d\u5236\u5168\u90e8\u8d26\u53f7(&A)\tCtrl+Shift+C",            // 复制全部账号
      L"\u64a4\u9500(&Z)\tCtrl+Z",                                          // 撤销
  };
  EXPECT_EQ(items, expected);
}

}  // namespace

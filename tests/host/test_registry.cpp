// Registry texts, written with the registry API and read back. Under Wine,
// HKEY_CLASSES_ROOT is written directly (HKCU\Software\Classes is not merged).

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/registry.h"
#include "win_test_support.h"

namespace {

const std::string kFallback = "\xc2\xb7\xbe\xb6\xb4\xed\xce\xf3";  // "路径错误"
// One character of code page 936 whose second byte is a backslash.
const std::string kTrailBackslash = "\x95\x5c";

std::string Unique(const std::string& stem) { return stem + std::to_string(GetCurrentProcessId()); }

// A key made for the test and deleted with everything below it afterwards.
class TestKey {
 public:
  TestKey(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
    RegCreateKeyExA(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  }
  ~TestKey() {
    if (key_) RegCloseKey(key_);
    RegDeleteTreeA(root_, path_.c_str());
    RegDeleteKeyA(root_, path_.c_str());
  }
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;

  bool ok() const { return key_ != nullptr; }
  const std::string& path() const { return path_; }
  // Stores the bytes as given (no closing zero is added).
  bool Set(const std::string& subKey, const std::string& name, DWORD type, const std::string& bytes) const {
    HKEY target = nullptr;
    if (RegCreateKeyExA(key_, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr) !=
        ERROR_SUCCESS)
      return false;
    const LONG result = RegSetValueExA(target, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(target);
    return result == ERROR_SUCCESS;
  }

 private:
  HKEY root_;
  std::string path_;
  HKEY key_ = nullptr;
};

std::string Z(const std::string& text) { return text + std::string(1, '\0'); }

struct ValueCase {
  const char* name;
  DWORD type;
  std::string stored;    // exactly these bytes
  const char* expected;  // nullptr: a failure
};

class RegistryValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(RegistryValueTest, ReadsTextsAndRefusesEverythingElse) {
  const ValueCase& c = GetParam();
  ASSERT_TRUE(SetEnvironmentVariableA("KL_TEST_FOLDER", "C:\\Chrome Folder"));
  TestKey key(HKEY_CURRENT_USER, Unique("Software\\KlRegistryTest"));
  ASSERT_TRUE(key.ok());
  ASSERT_TRUE(key.Set("Application", "ApplicationIcon", c.type, c.stored));
  const std::string path = key.path() + "\\Application\\ApplicationIcon";

  const std::optional<std::string> text = TryReadRegistryText(3, path);
  if (c.expected) {
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, c.expected);
    EXPECT_EQ(ReadRegistryText(3, path, kFallback), c.expected);
  } else {
    EXPECT_FALSE(text.has_value()) << *text;
    EXPECT_EQ(ReadRegistryText(3, path, kFallback), kFallback);
    EXPECT_EQ(ReadRegistryText(3, path), "");
  }
  SetEnvironmentVariableA("KL_TEST_FOLDER", nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryValueTest,
    testing::Values(ValueCase{"Text", REG_SZ, Z("C:\\Program Files\\Chrome\\chrome.exe,0"),
                              "C:\\Program Files\\Chrome\\chrome.exe,0"},
                    ValueCase{"DoubleByteText", REG_SZ, Z("C:\\\xd5\xcb\xba\xc5\x95\x5c\\chrome.exe"),
                              "C:\\\xd5\xcb\xba\xc5\x95\x5c\\chrome.exe"},
                    ValueCase{"TextEndsAtTheFirstZero", REG_SZ, Z(std::string("abc\0def", 7)), "abc"},
                    ValueCase{"TextWithoutClosingZero", REG_SZ, "abc", "abc"},
                    ValueCase{"EmptyTextIsNoFailure", REG_SZ, Z(""), ""},
                    ValueCase{"ZeroBytesIsAFailure", REG_SZ, "", nullptr},
                    ValueCase{"ExpandedText", REG_EXPAND_SZ, Z("%KL_TEST_FOLDER%\\chrome.exe,0"),
                              "C:\\Chrome Folder\\chrome.exe,0"},
                    ValueCase{"UnknownVariableStays", REG_EXPAND_SZ, Z("%KL_NO_SUCH_VARIABLE%\\x"),
                              "%KL_NO_SUCH_VARIABLE%\\x"},
                    ValueCase{"EmptyExpandedText", REG_EXPAND_SZ, Z(""), ""},
                    ValueCase{"Number", REG_DWORD, std::string("\x01\x00\x00\x00", 4), nullptr},
                    ValueCase{"Binary", REG_BINARY, Z("abc"), nullptr},
                    ValueCase{"MultipleTexts", REG_MULTI_SZ, Z(Z("abc")), nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadRegistryText, MissingKeysAndValuesGiveTheFallback) {
  TestKey key(HKEY_CURRENT_USER, Unique("Software\\KlRegistryTest"));
  ASSERT_TRUE(key.ok());
  ASSERT_TRUE(key.Set("Application", "ApplicationIcon", REG_SZ, Z("icon")));
  EXPECT_EQ(ReadRegistryText(3, key.path() + "\\Application\\Other", kFallback), kFallback);
  EXPECT_EQ(ReadRegistryText(3, key.path() + "\\Missing\\ApplicationIcon", kFallback), kFallback);
  EXPECT_EQ(ReadRegistryText(3, key.path() + "\\Application", kFallback), kFallback);
  EXPECT_EQ(ReadRegistryText(3, "", kFallback), kFallback);
  EXPECT_FALSE(TryReadRegistryText(3, key.path() + "\\Missing\\ApplicationIcon").has_value());
}

TEST(ReadRegistryText, RootNumbersOutsideTheTableMeanTheCurrentUser) {
  TestKey key(HKEY_CURRENT_USER, Unique("Software\\KlRegistryTest"));
  ASSERT_TRUE(key.ok());
  ASSERT_TRUE(key.Set("Application", "ApplicationIcon", REG_SZ, Z("user's icon")));
  const std::string path = key.path() + "\\Application\\ApplicationIcon";
  for (std::int32_t root : {3, 0, 9, -1, 6, 1000})
    EXPECT_EQ(ReadRegistryText(root, path, kFallback), "user's icon") << root;
  // The other roots do not see it.
  for (std::int32_t root : {1, 2, 4, 5}) EXPECT_EQ(ReadRegistryText(root, path, kFallback), kFallback) << root;
}

TEST(ReadRegistryText, RootOneIsTheClassesRoot) {
  TestKey key(HKEY_CLASSES_ROOT, Unique("KlChromeHTML"));
  ASSERT_TRUE(key.ok());
  ASSERT_TRUE(key.Set("Application", "ApplicationIcon", REG_SZ, Z("C:\\B\\chrome.exe,0")));
  EXPECT_EQ(ReadRegistryText(1, key.path() + "\\Application\\ApplicationIcon", kFallback), "C:\\B\\chrome.exe,0");
  EXPECT_EQ(ReadRegistryText(3, key.path() + "\\Application\\ApplicationIcon", kFallback), kFallback);
}

TEST(ReadRegistryText, RootFourIsTheLocalMachine) {
  // Present in every installation.
  const std::string path = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProductName";
  EXPECT_TRUE(TryReadRegistryText(4, path).has_value());
  EXPECT_FALSE(TryReadRegistryText(3, path).has_value());
}

TEST(ReadRegistryText, TheSplitSkipsBackslashesInsideDoubleByteCharacters) {
  TestKey key(HKEY_CURRENT_USER, Unique("Software\\KlRegistryTest"));
  ASSERT_TRUE(key.ok());
  // A key and a value both named with the character whose second byte is 0x5C.
  const std::string subKey = "a" + kTrailBackslash;
  const std::string value = "v" + kTrailBackslash;
  ASSERT_TRUE(key.Set(subKey, value, REG_SZ, Z("found")));
  EXPECT_EQ(ReadRegistryText(3, key.path() + "\\" + subKey + "\\" + value, kFallback), "found");
  // A value name that ends in that character.
  ASSERT_TRUE(key.Set("plain", kTrailBackslash, REG_SZ, Z("also found")));
  EXPECT_EQ(ReadRegistryText(3, key.path() + "\\plain\\" + kTrailBackslash, kFallback), "also found");
}

TEST(ReadRegistryText, NoBackslashNamesAValueOfTheRootAndAClosingOneTheDefaultValue) {
  const std::string name = Unique("KlRegistryTestValue");
  HKEY root = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_ALL_ACCESS, &root), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(root, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("top"), 4), ERROR_SUCCESS);
  EXPECT_EQ(ReadRegistryText(3, name, kFallback), "top");
  RegDeleteValueA(root, name.c_str());
  RegCloseKey(root);

  TestKey key(HKEY_CURRENT_USER, Unique("Software\\KlRegistryTest"));
  ASSERT_TRUE(key.ok());
  ASSERT_TRUE(key.Set("Application", "", REG_SZ, Z("the key's own value")));
  EXPECT_EQ(ReadRegistryText(3, key.path() + "\\Application\\", kFallback), "the key's own value");
}

}  // namespace

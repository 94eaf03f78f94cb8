// The Windows tests run in the users' ANSI code page, so double-byte account
// texts are exercised as they really occur.
#include <gtest/gtest.h>

#include "win_test_support.h"

TEST(Harness, RunsInCodePage936) { EXPECT_EQ(GetACP(), 936u); }

TEST(Harness, TempFolderIsRemovedWithItsContents) {
  std::string path;
  {
    test::TempFolder folder;
    path = folder.path();
    ASSERT_TRUE(test::FolderExists(path));
    ASSERT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
    ASSERT_TRUE(test::WriteWholeFile(folder / "sub\\.hidden", "x"));
  }
  EXPECT_FALSE(test::FolderExists(path));
}

TEST(Harness, GbkTextSurvivesTheWideRoundTrip) {
  const std::string shop = "\xB5\xEA\xC6\xCC\xD2\xBB";  // 店铺一 in GBK
  EXPECT_EQ(test::Widen(shop), L"\x5E97\x94FA\x4E00");
  EXPECT_EQ(test::Narrow(test::Widen(shop)), shop);
}

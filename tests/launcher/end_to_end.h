#pragma once
// The fixture of the tests that run KestrunLauncher.exe itself from a
// temporary program folder.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/list_content.h"
#include "launcher_window.h"
#include "stored_list.h"
#include "win_test_support.h"

namespace launcher_test {

// The list content of rows as the program stores them: no images, and the
// given item data (0 for rows beyond it).
inline Bytes ContentOf(const Rows& rows, const std::vector<std::int32_t>& itemData = {}) {
  Bytes content;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    const Bytes record = EncodeRowRecord(-1, i < itemData.size() ? itemData[i] : 0, row.first);
    const Bytes cell = EncodeCellRecord(-1, row.second);
    content.insert(content.end(), record.begin(), record.end());
    content.insert(content.end(), cell.begin(), cell.end());
  }
  return content;
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ready());
    ASSERT_TRUE(icon_.Set(folder_.BrowserPath() + ",0"));
  }

  void StoreRows(const Rows& rows) { ASSERT_TRUE(WriteStored(folder_.ConfigPath(), ContentOf(rows))); }

  // Starts the program; fails the test when it does not come up.
  void Start(RunningLauncher& launcher, const std::vector<std::string>& browserEnvironment = {}) {
    ASSERT_TRUE(launcher.Start(folder_, browserEnvironment)) << "the program did not come up";
  }

  // The rows on screen and the whole stored body, byte for byte.
  void ExpectRows(RunningLauncher& launcher, const Rows& expected, const std::vector<std::int32_t>& itemData = {}) {
    EXPECT_TRUE(launcher.WaitForRows(expected, folder_.ConfigPath()));
    EXPECT_EQ(launcher.ScreenRows(), expected);
    EXPECT_EQ(StoredPlain(folder_.ConfigPath()), ContentOf(expected, itemData));
  }

  // Waits until config.ini has been replaced since `before`.
  bool WaitForSave(const FileStamp& before) {
    return test::WaitUntil([&] { return !(StampOf(folder_.ConfigPath()) == before); });
  }

  ProgramFolder folder_;
  BrowserIconValue icon_;
};

}  // namespace launcher_test

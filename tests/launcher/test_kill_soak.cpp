// KestrunLauncher.exe killed (TerminateProcess) at random moments while it
// saves: after every kill config.ini deciphers to exactly the list before or
// after the edit that was being saved, never to a part of one, plain text or
// nothing, and the next start shows that list and removes what the killed
// save left behind. KL_SOAK_KILLS sets the number of kills (default 20),
// KL_SOAK_SEED the random sequence.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "end_to_end.h"
#include "launcher_window.h"
#include "stored_list.h"
#include "win_test_support.h"

using namespace launcher_test;

namespace {

int EnvironmentNumber(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::atoi(value) : fallback;
}

bool HasTemporaryFiles(const ProgramFolder& folder) {
  for (const std::string& name : folder.Entries())
    if (name.rfind("~kl", 0) == 0) return true;
  return false;
}

Rows Renumbered(Rows rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].first = std::to_string(i + 1);
  return rows;
}

TEST_F(EndToEnd, AKilledSaveLeavesTheListBeforeOrAfterTheEdit) {
  const int kills = EnvironmentNumber("KL_SOAK_KILLS", 20);
  const unsigned seed = static_cast<unsigned>(EnvironmentNumber("KL_SOAK_SEED", 20261210));
  std::mt19937 random(seed);
  // Enough rows that a save takes a while to read out, write and show.
  Rows rows;
  for (int i = 1; i <= 400; ++i) rows.push_back({std::to_string(i), "1380000" + std::to_string(1000 + i)});
  StoreRows(rows);

  // How long a save takes from the click, so that the kills spread over it.
  std::chrono::milliseconds span(0);
  {
    RunningLauncher launcher;
    Start(launcher);
    const FileStamp before = StampOf(folder_.ConfigPath());
    const auto clicked = std::chrono::steady_clock::now();
    launcher.ClickRenumber();
    ASSERT_TRUE(WaitForSave(before));
    span = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - clicked);
  }

  int keptBefore = 0, tookAfter = 0, leftBehind = 0;
  for (int kill = 0; kill < kills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill + 1));
    RunningLauncher launcher;
    Start(launcher);
    ASSERT_FALSE(HasTemporaryFiles(folder_)) << "the start did not remove what the killed save left";
    ASSERT_EQ(launcher.ScreenRows(), rows);

    // Alternately an account is added, and the first row deleted.
    Rows after;
    if (kill % 2 == 0) {
      after = rows;
      after.push_back({std::to_string(rows.size() + 1), "kill" + std::to_string(kill)});
      launcher.SetAccountText(after.back().second);
      launcher.ClickAdd();
    } else {
      after = Renumbered(Rows(rows.begin() + 1, rows.end()));
      launcher.ClickRow(0);
      ASSERT_TRUE(test::WaitUntil([&] { return launcher.AccountText() == rows[0].second; }));
      launcher.ClickDelete();
    }
    // Mostly at a random moment of the save; every third kill as soon as the
    // save's temporary file is seen, between its writing and its move.
    if (kill % 3 == 2) {
      const auto deadline = std::chrono::steady_clock::now() + 2 * span;
      while (!HasTemporaryFiles(folder_) && std::chrono::steady_clock::now() < deadline) {
      }
    } else {
      Sleep(std::uniform_int_distribution<DWORD>(0, static_cast<DWORD>(span.count() * 3 / 2))(random));
    }
    launcher.Kill();

    ASSERT_TRUE(test::FileExists(folder_.ConfigPath())) << "config.ini is missing";
    const Bytes stored = StoredPlain(folder_.ConfigPath());
    if (stored == ContentOf(rows)) {
      ++keptBefore;
    } else {
      ASSERT_EQ(stored, ContentOf(after)) << "config.ini holds neither the list before nor after the edit";
      ++tookAfter;
      rows = after;
    }
    if (HasTemporaryFiles(folder_)) ++leftBehind;
  }
  std::printf(
      "kill soak: seed %u, %d kills over a save of about %d ms: %d left the list before the edit, %d after; "
      "%d left a temporary file, all removed at the next start\n",
      seed, kills, static_cast<int>(span.count()), keptBefore, tookAfter, leftBehind);
  RunningLauncher last;
  Start(last);
  EXPECT_FALSE(HasTemporaryFiles(folder_));
  EXPECT_EQ(last.ScreenRows(), rows);
}

}  // namespace

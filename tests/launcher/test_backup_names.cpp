// The names of the kept copies of config.ini and which of them stay.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "launcher/backup_names.h"
#include "launcher/stored_version.h"

namespace {

TEST(BackupNames, SpellTheTimeWithFixedWidths) {
  EXPECT_EQ(BackupName({2026, 12, 11, 9, 30, 5, 42}), "config-20261211-093005-042.ini");
  EXPECT_EQ(BackupName({2027, 1, 1, 0, 0, 0, 0}), "config-20270101-000000-000.ini");
}

TEST(BackupNames, ParseBackWhatTheySpell) {
  const BackupTime t{2028, 2, 29, 23, 59, 59, 999};
  EXPECT_EQ(ParseBackupName(BackupName(t)), std::optional<BackupTime>(t));
}

TEST(BackupNames, AreOnlyNamesOfExactlyThePattern) {
  for (const char* name :
       {"config-2026121-093005-042.ini", "config-20261211-093005-042.ini.tmp", "config-20261211-093005-042.INI",
        "Config-20261211-093005-042.ini", "config-20261211-093005-42.ini", "config-20261211_093005-042.ini",
        "config-20261211-093005-042a.ini", "xconfig-20261211-093005-042.ini", "config-2026121a-093005-042.ini",
        "config-20261301-093005-042.ini", "config-20270229-093005-042.ini", "config-20261200-093005-042.ini",
        "config-20261211-243005-042.ini", "config-20261211-096005-042.ini", "config-20261211-093060-042.ini",
        "config.ini", "", "~kl12-1.tmp"})
    EXPECT_FALSE(ParseBackupName(name).has_value()) << name;
}

TEST(BackupNames, TheNextMillisecondCarriesIntoEveryField) {
  struct Case {
    BackupTime from, to;
  };
  const Case cases[] = {
      {{2026, 12, 11, 9, 30, 5, 41}, {2026, 12, 11, 9, 30, 5, 42}},
      {{2026, 12, 11, 9, 30, 5, 999}, {2026, 12, 11, 9, 30, 6, 0}},
      {{2026, 12, 11, 9, 59, 59, 999}, {2026, 12, 11, 10, 0, 0, 0}},
      {{2026, 2, 28, 23, 59, 59, 999}, {2026, 3, 1, 0, 0, 0, 0}},
      {{2028, 2, 28, 23, 59, 59, 999}, {2028, 2, 29, 0, 0, 0, 0}},
      {{2026, 4, 30, 23, 59, 59, 999}, {2026, 5, 1, 0, 0, 0, 0}},
      {{2026, 12, 31, 23, 59, 59, 999}, {2027, 1, 1, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(BackupName(NextMillisecond(c.from)), BackupName(c.to)) << BackupName(c.from);
}

// A backup of that day at that hour (minute and millisecond tell saves apart).
std::string At(int year, int month, int day, int hour = 12, int minute = 0) {
  return BackupName({year, month, day, hour, minute, 0, 0});
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST(BackupsToRemove, KeepTheLastTwentyAndTheNewestOfEachOfThirtyDays) {
  struct Case {
    const char* name;
    std::vector<std::string> names;
    std::vector<std::string> removed;
  };
  // Today is 2026-12-11; 2026-11-12 is the oldest of the thirty days.
  std::vector<std::string> twentyFiveToday;
  for (int m = 0; m < 25; ++m) twentyFiveToday.push_back(At(2026, 12, 11, 10, m));
  // One a day over forty days: 12-11 .. 12-01, then 11-30 .. 11-02.
  std::vector<std::string> oneADayFor40Days;
  for (int d = 11; d >= 1; --d) oneADayFor40Days.push_back(At(2026, 12, d));
  for (int d = 30; d >= 2; --d) oneADayFor40Days.push_back(At(2026, 11, d));

  std::vector<std::string> threeADayFor25Days;  // 75 backups over 12-11 .. 11-17
  for (int d = 0; d < 25; ++d)
    for (int h = 8; h < 11; ++h)
      threeADayFor25Days.push_back(d < 11 ? At(2026, 12, 11 - d, h) : At(2026, 11, 30 - (d - 11), h));

  std::vector<std::string> threeADayRemoved;
  // The newest 20 are the whole of the last six days and two of the seventh
  // (12-05: 10:00 and 09:00 stay); from there on only each day's 10:00 stays.
  for (int d = 6; d < 25; ++d)
    for (int h = 8; h < 10; ++h) {
      if (d == 6 && h != 8) continue;
      threeADayRemoved.push_back(d < 11 ? At(2026, 12, 11 - d, h) : At(2026, 11, 30 - (d - 11), h));
    }

  const Case cases[] = {
      {"NoneWhenThereAreTwentyOrFewer",
       std::vector<std::string>(twentyFiveToday.begin(), twentyFiveToday.begin() + 20),
       {}},
      {"TheOldestOfOneDayBeyondTwenty",
       twentyFiveToday,
       {At(2026, 12, 11, 10, 0), At(2026, 12, 11, 10, 1), At(2026, 12, 11, 10, 2), At(2026, 12, 11, 10, 3),
        At(2026, 12, 11, 10, 4)}},
      {"DaysBeyondThirtyBeyondTwenty",
       oneADayFor40Days,
       {At(2026, 11, 2), At(2026, 11, 3), At(2026, 11, 4), At(2026, 11, 5), At(2026, 11, 6), At(2026, 11, 7),
        At(2026, 11, 8), At(2026, 11, 9), At(2026, 11, 10), At(2026, 11, 11)}},
      {"TheNewestOfEachDayBeyondTwenty", threeADayFor25Days, threeADayRemoved},
      {"AnOldDayAmongTheLastTwentyStays", {At(2020, 1, 1), At(2026, 12, 11)}, {}},
      {"OtherNamesAreNeverRemoved",
       {"config.ini", "config-20261211-1.ini", "config-20200101-120000-000.ini.bak", "notes.txt",
        "CONFIG-20200101-120000-000.ini"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Sorted(BackupsToRemove(c.names, 2026, 12, 11)), Sorted(c.removed));
  }
}

TEST(BackupsToRemove, ADayAfterTodayCountsAsRecent) {
  // The clock was set back: the backups of "tomorrow" are not old.
  std::vector<std::string> names;
  for (int m = 0; m < 20; ++m) names.push_back(At(2026, 12, 11, 10, m));
  names.push_back(At(2026, 12, 9));  // older than the twenty, but the newest of its day
  names.push_back(At(2026, 12, 9, 11));
  EXPECT_EQ(BackupsToRemove(names, 2026, 12, 10), std::vector<std::string>{At(2026, 12, 9, 11)});
}

TEST(StoredVersionDigest, IsTheFnv1aOfTheBytes) {
  EXPECT_EQ(DigestOf({}), 0xcbf29ce484222325ull);
  EXPECT_EQ(DigestOf({'a'}), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(DigestOf({'f', 'o', 'o', 'b', 'a', 'r'}), 0x85944171f73967e8ull);
}

}  // namespace

#pragma once
// The names of the copies of config.ini kept in backup\ beside the program,
// "config-YYYYMMDD-HHMMSS-mmm.ini" by the local time of the save that
// replaced them, and which of them are kept. The names sort as their times.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct BackupTime {
  int year = 0, month = 0, day = 0;  // month and day from 1
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  bool operator==(const BackupTime&) const = default;
};

inline constexpr std::size_t kBackupsKeptNewest = 20;  // the last ones, whatever their days
inline constexpr int kBackupDaysKept = 30;             // and the newest of each of these days

// "config-20261211-093005-042.ini" for that time.
std::string BackupName(const BackupTime& time);

// The time a name spells when it is exactly a backup's name (a real date and
// time); nothing for every other name.
std::optional<BackupTime> ParseBackupName(std::string_view name);

// One millisecond later, carried into the second, minute, hour, day, month
// and year: the name of a second backup within the same millisecond.
BackupTime NextMillisecond(const BackupTime& time);

// Of the names in the folder, the backups to remove so that the newest
// kBackupsKeptNewest stay, and the newest of each day from `today` back over
// kBackupDaysKept days (today included). A name that is not exactly a
// backup's is never among them.
std::vector<std::string> BackupsToRemove(const std::vector<std::string>& names, int year, int month, int day);

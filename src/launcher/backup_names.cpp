#include "launcher/backup_names.h"

#include <algorithm>
#include <set>

namespace {

constexpr std::string_view kPrefix = "config-";
constexpr std::string_view kSuffix = ".ini";

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DayNumber(int year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void AppendDigits(std::string& text, int value, int width) {
  std::string digits(static_cast<std::size_t>(width), '0');
  for (int at = width - 1; at >= 0; --at, value /= 10)
    digits[static_cast<std::size_t>(at)] = static_cast<char>('0' + value % 10);
  text += digits;
}

// Takes `width` decimal digits from the front of `text`.
bool TakeDigits(std::string_view& text, int width, int& value) {
  if (text.size() < static_cast<std::size_t>(width)) return false;
  value = 0;
  for (int at = 0; at < width; ++at) {
    const char c = text[static_cast<std::size_t>(at)];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  text.remove_prefix(static_cast<std::size_t>(width));
  return true;
}

bool TakeText(std::string_view& text, std::string_view expected) {
  if (text.substr(0, expected.size()) != expected) return false;
  text.remove_prefix(expected.size());
  return true;
}

}  // namespace

std::string BackupName(const BackupTime& time) {
  std::string name(kPrefix);
  AppendDigits(name, time.year, 4);
  AppendDigits(name, time.month, 2);
  AppendDigits(name, time.day, 2);
  name += '-';
  AppendDigits(name, time.hour, 2);
  AppendDigits(name, time.minute, 2);
  AppendDigits(name, time.second, 2);
  name += '-';
  AppendDigits(name, time.millisecond, 3);
  name += kSuffix;
  return name;
}

std::optional<BackupTime> ParseBackupName(std::string_view name) {
  BackupTime t;
  if (!TakeText(name, kPrefix) || !TakeDigits(name, 4, t.year) || !TakeDigits(name, 2, t.month) ||
      !TakeDigits(name, 2, t.day) || !TakeText(name, "-") || !TakeDigits(name, 2, t.hour) ||
      !TakeDigits(name, 2, t.minute) || !TakeDigits(name, 2, t.second) || !TakeText(name, "-") ||
      !TakeDigits(name, 3, t.millisecond) || name != kSuffix)
    return std::nullopt;
  if (t.year < 1601 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) ||
      t.hour > 23 || t.minute > 59 || t.second > 59)
    return std::nullopt;
  return t;
}

BackupTime NextMillisecond(const BackupTime& time) {
  BackupTime t = time;
  if (++t.millisecond < 1000) return t;
  t.millisecond = 0;
  if (++t.second < 60) return t;
  t.second = 0;
  if (++t.minute < 60) return t;
  t.minute = 0;
  if (++t.hour < 24) return t;
  t.hour = 0;
  if (++t.day <= DaysInMonth(t.year, t.month)) return t;
  t.day = 1;
  if (++t.month <= 12) return t;
  t.month = 1;
  ++t.year;
  return t;
}

std::vector<std::string> BackupsToRemove(const std::vector<std::string>& names, int year, int month, int day) {
  std::vector<std::string> backups;
  for (const std::string& name : names)
    if (ParseBackupName(name)) backups.push_back(name);
  // Newest first: the names sort as their times.
  std::sort(backups.begin(), backups.end(), std::greater<>());
  backups.erase(std::unique(backups.begin(), backups.end()), backups.end());

  const std::int64_t today = DayNumber(year, month, day);
  std::set<std::int64_t> daysSeen;
  std::vector<std::string> remove;
  for (std::size_t at = 0; at < backups.size(); ++at) {
    const BackupTime t = *ParseBackupName(backups[at]);
    const std::int64_t backupDay = DayNumber(t.year, t.month, t.day);
    // A day after today (the clock was set back) is no older than today.
    const bool recentDay = today - backupDay < kBackupDaysKept;
    const bool newestOfDay = daysSeen.insert(backupDay).second;
    if (at < kBackupsKeptNewest || (recentDay && newestOfDay)) continue;
    remove.push_back(backups[at]);
  }
  return remove;
}

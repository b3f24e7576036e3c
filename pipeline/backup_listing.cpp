#include "pipeline/backup_listing.hpp"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "core/shown_text.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::pipeline {
namespace {

std::string Plural(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

BackupState StateOfBackup(const BackupRecord& backup) {
  if (BackupStore::LooksUnchanged(backup)) return BackupState::kUnchangedConversion;
  return backup.converted ? BackupState::kEdited : BackupState::kNotKartwerkMap;
}

const char* BackupStateText(BackupState state) {
  switch (state) {
    case BackupState::kUnchangedConversion: return "unchanged conversion";
    case BackupState::kEdited: return "edited";
    case BackupState::kNotKartwerkMap: break;
  }
  return "not a Kartwerk map";
}

std::string LocalBackupTimeText(const std::string& when) {
  // "2026-12-07 14-30-21.042Z-01", in UTC.
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (when.size() < 19 ||
      std::sscanf(when.c_str(), "%4d-%2d-%2d %2d-%2d-%2d", &year, &month, &day, &hour, &minute, &second) != 6) {
    return "time unknown";
  }
  using namespace std::chrono;
  const year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                            std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) return "time unknown";
  const sys_seconds moment = sys_days(date) + hours(hour) + minutes(minute) + seconds(second);
  const std::tm t = platform::LocalTime(system_clock::to_time_t(moment));
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

std::string BackupSizeText(std::uintmax_t bytes) {
  if (bytes < 1000) return Plural(static_cast<std::size_t>(bytes), "byte", "bytes");
  const char* units[] = {"kB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1000;
  std::size_t unit = 0;
  while (value >= 999.5 && unit + 1 < std::size(units)) {
    value /= 1000;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, value < 99.95 ? "%.1f %s" : "%.0f %s", value, units[unit]);
  return text;
}

std::string BackupKey(const BackupRecord& backup) {
  const std::string name = platform::TextFromPath(backup.folder.filename());
  if (backup.origin.empty() || backup.when.empty()) return name;
  const std::string start = platform::TextFromPath(backup.origin.filename()) + " " + backup.when;
  return name.rfind(start, 0) == 0 ? start : name;
}

std::string BackupLine(const BackupRecord& backup, const std::string& localTime, std::uintmax_t bytes,
                       BackupState state) {
  const std::string place = backup.origin.empty()
                                ? std::string("unknown place")
                                : "\"" + core::ShownText(platform::TextFromPath(backup.origin)) + "\"";
  return place + "  " + localTime + "  \"" + core::ShownText(backup.title) + "\"  " + BackupSizeText(bytes) + "  " +
         BackupStateText(state) + "  [" + core::ShownText(BackupKey(backup)) + "]";
}

std::string BackupsSummary(std::size_t count, std::uintmax_t bytes, const std::filesystem::path& folder, bool ofPlace) {
  const std::string where = (ofPlace ? " of \"" : " in \"") + platform::TextFromPath(folder) + "\"";
  if (count == 0) return "no backups" + where;
  return Plural(count, "backup", "backups") + where + ", " + BackupSizeText(bytes) +
         "; kartwerk restore \"KEY\" puts one back (KEY: the name in brackets)";
}

std::string NotABackupText(const std::string& place) {
  return place + " is not a backup; `kartwerk backups --out " + place + "` lists its backups";
}

}  // namespace kartwerk::pipeline

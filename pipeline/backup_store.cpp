#include "pipeline/backup_store.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/error_text.hpp"
#include "core/text.hpp"
#include "platform/content_hash.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"
#include "platform/private_folder.hpp"
#include "platform/process_leftovers.hpp"
#include "platform/whole_file.hpp"

namespace kartwerk::pipeline {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kRecordTemp = ".kartwerk-record-";
constexpr std::string_view kWhenShape = "0000-00-00 00-00-00.000Z-00";

bool IsWhen(std::string_view text) {
  if (text.size() != kWhenShape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kWhenShape[i] == '0' ? !digit : text[i] != kWhenShape[i]) return false;
  }
  return true;
}

// Record values are one line each: backslashes and line breaks are escaped.
std::string Escaped(const std::string& value) {
  std::string out;
  for (const char c : value) {
    out += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
  }
  return out;
}

std::string Unescaped(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    } else {
      out += value[i];
    }
  }
  return out;
}

// The most a record or a listing of what was written holds: a campaign slot of 255 missions lists
// about 4 000 files in some 400 KiB.
constexpr std::size_t kMaxRecordBytes = 16u << 20;

// A record planted as a FIFO or a folder, or grown past any record's size, reads as no record.
std::optional<std::string> ReadText(const fs::path& file) { return platform::ReadFileText(file, kMaxRecordBytes); }

// 32 hex digits of the place's full path. Records of earlier versions, named otherwise, are not
// found: their places count as holding what Kartwerk did not write, which keeps every backup.
std::string PlaceKey(const fs::path& place) {
  return platform::ContentDigest(platform::TextFromPath(place)).substr(platform::kContentHashName.size() + 1);
}

// The line a record gives the game version of a conversion in: "game-version 1.9", or "game-version
// later" for every later version (they all write the same). Not written when the version is not known.
constexpr std::string_view kGameVersionKey = "game-version";

// A place's record in place of the listing when the place holds a conversion edited since (an
// earlier Kartwerk reads such a record as none).
constexpr std::string_view kEditedLine = "edited\n";

std::string GameVersionLine(format::GameVersionKind version) {
  switch (version) {
    case format::GameVersionKind::OlderKeywords: return std::string(kGameVersionKey) + " 1.9\n";
    case format::GameVersionKind::CurrentKeywords: return std::string(kGameVersionKey) + " later\n";
    case format::GameVersionKind::None: break;
  }
  return {};
}

// A value no version writes reads as not known, as a record without the line does.
format::GameVersionKind GameVersionOfValue(std::string_view value) {
  return value == "1.9"     ? format::GameVersionKind::OlderKeywords
         : value == "later" ? format::GameVersionKind::CurrentKeywords
                            : format::GameVersionKind::None;
}

}  // namespace

std::string BackupTimeText(const std::string& when) {
  if (!IsWhen(when)) return when;
  return when.substr(0, 10) + " " + when.substr(11, 2) + ":" + when.substr(14, 2) + ":" + when.substr(17, 2) + " UTC";
}

std::string BackupName(const std::string& placeName, const std::string& when, const std::string& title) {
  return placeName + " " + when + " " + title;
}

fs::path InstallationOfSlot(const fs::path& slotFolder) {
  const fs::path src = slotFolder.parent_path();
  const fs::path editor = src.parent_path();
  const bool slotShaped = core::AsciiLower(platform::TextFromPath(src.filename())) == "maps.src" &&
                          core::AsciiLower(platform::TextFromPath(editor.filename())) == "editor" &&
                          core::AsciiLower(platform::TextFromPath(slotFolder.filename())).rfind("map.", 0) == 0;
  return slotShaped ? editor.parent_path() : fs::path();
}

BackupStore::BackupStore(fs::path folder) : folder_(std::move(folder)) {}

fs::path BackupStore::AboutPath(const fs::path& backup) const { return folder_ / ".about" / backup.filename(); }

fs::path BackupStore::WrittenPath(const fs::path& place) const { return folder_ / ".written" / PlaceKey(place); }

std::vector<platform::FolderEntry>& BackupStore::Entries() const {
  if (!reading_) reading_.emplace(folder_);
  return reading_->Entries();
}

void BackupStore::ForgetEntry(const fs::path& backup) const {
  if (!reading_) return;
  const std::string name = platform::TextFromPath(backup.filename());
  std::erase_if(reading_->Entries(), [&](const platform::FolderEntry& entry) { return entry.name == name; });
}

// A record replaces its previous version whole: written under a name of this process in the backup
// folder itself (where MakeReady looks for leftovers), then renamed over it. A failure names its
// reason (a full disk, a folder that cannot be written).
void BackupStore::WriteRecord(const fs::path& file, const std::string& text) const {
  const auto cannot = [&](const std::string& reason) {
    return std::runtime_error("Cannot write the record \"" + platform::TextFromPath(file) + "\": " + reason);
  };
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  if (ec) throw cannot(core::ErrorText(ec));
  const fs::path temp = folder_ / platform::ProcessMarkedName(kRecordTemp);
  core::ClearLastFileError();
  std::FILE* out = platform::OpenFile(temp, "wbx");
  if (!out) throw cannot(core::ErrorText(core::LastFileError()));
  core::ClearLastFileError();
  if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) ec = core::LastFileError();
  core::ClearLastFileError();
  if (std::fclose(out) != 0 && !ec) ec = core::LastFileError();
  if (!ec) {
    core::ClearLastFileError();
    fs::rename(temp, file, ec);
    ec = core::FileSystemError(ec);
  }
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    throw cannot(core::ErrorText(ec));
  }
}

void BackupStore::MakeReady() const {
  platform::MakePrivateFolder(folder_);
  if (ready_) return;
  platform::RemoveEndedProcessLeftovers(folder_, Entries(), {kRecordTemp, ".kartwerk-probe-", ".kartwerk-incoming-"});
  ready_ = true;
}

std::optional<BackupRecord> BackupStore::Read(const fs::path& backup) const {
  const std::optional<std::string> text = ReadText(AboutPath(backup));
  if (!text) return std::nullopt;
  BackupRecord record;
  record.folder = backup;
  std::string_view rest = *text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    const std::size_t blank = line.find(' ');
    const std::string_view key = line.substr(0, blank);
    const std::string value = blank == std::string_view::npos ? "" : Unescaped(line.substr(blank + 1));
    if (key == "origin") record.origin = platform::PathFromText(value);
    if (key == "installation") record.installation = platform::PathFromText(value);
    if (key == "when") record.when = value;
    if (key == "title") record.title = value;
    if (key == "converted") record.converted = true;
    if (key == "seen") record.seen = value;
    if (key == kGameVersionKey) record.gameVersion = GameVersionOfValue(value);
    if (key == "written") {
      record.written = platform::ListingFromText(rest);
      break;
    }
  }
  if (record.origin.empty() || !IsWhen(record.when)) return std::nullopt;
  record.converted = record.converted || record.written.has_value();
  return record;
}

void BackupStore::Describe(BackupRecord record) const {
  std::string text = "origin " + Escaped(platform::TextFromPath(record.origin)) + "\n";
  if (!record.installation.empty())
    text += "installation " + Escaped(platform::TextFromPath(record.installation)) + "\n";
  text += "when " + record.when + "\ntitle " + Escaped(record.title) + "\n";
  if (record.converted || record.written) text += "converted\n" + GameVersionLine(record.gameVersion);
  if (record.written) {
    // A record written before its backup exists carries the stamp of the content it will hold.
    if (record.seen.empty()) record.seen = platform::FolderStamp(record.folder).value_or(std::string());
    if (!record.seen.empty()) text += "seen " + record.seen + "\n";
    text += "written\n" + platform::ListingText(*record.written);
  }
  WriteRecord(AboutPath(record.folder), text);
}

void BackupStore::Forget(const fs::path& backup) const {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(backup, ec))) return;
  fs::remove(AboutPath(backup), ec);
  ForgetEntry(backup);
}

std::vector<BackupRecord> BackupStore::List() const {
  std::vector<BackupRecord> backups;
  for (const platform::FolderEntry& entry : Entries()) {
    if (entry.name.empty() || entry.name[0] == '.' || !entry.folder) continue;
    const fs::path backup = folder_ / platform::PathFromText(entry.name);
    if (std::optional<BackupRecord> record = Read(backup)) {
      backups.push_back(std::move(*record));
      continue;
    }
    // Kept by an older Kartwerk, or put here by hand: shown, never removed.
    BackupRecord unknown;
    unknown.folder = backup;
    unknown.title = std::string(entry.name);
    backups.push_back(std::move(unknown));
  }
  std::sort(backups.begin(), backups.end(), [](const BackupRecord& a, const BackupRecord& b) {
    return a.when != b.when ? a.when < b.when : a.folder < b.folder;
  });
  return backups;
}

BackupRecord BackupStore::Find(const std::string& pathOrName) const {
  const std::vector<BackupRecord> backups = List();
  std::error_code ec;
  const fs::path asPath = platform::PathFromText(pathOrName);
  std::vector<const BackupRecord*> matches;
  for (const BackupRecord& backup : backups) {
    if (fs::equivalent(backup.folder, asPath, ec)) return backup;
    const std::string name = platform::TextFromPath(backup.folder.filename());
    if (name == pathOrName) return backup;
    if (!pathOrName.empty() && name.rfind(pathOrName, 0) == 0) matches.push_back(&backup);
  }
  if (matches.size() == 1) return *matches.front();
  if (matches.empty()) {
    throw std::runtime_error("no backup \"" + pathOrName + "\" in \"" + platform::TextFromPath(folder_) +
                             "\"; kartwerk backups lists them");
  }
  throw std::runtime_error(std::to_string(matches.size()) + " backups start with \"" + pathOrName +
                           "\"; give the whole name as kartwerk backups prints it");
}

fs::path BackupStore::NewBackupPath(const std::string& placeName, const std::string& title) const {
  const auto now = std::chrono::system_clock::now();
  const std::tm t = platform::UtcTime(std::chrono::system_clock::to_time_t(now));
  const int ms =
      static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  char time[64];
  std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d-%02d-%02d.%03dZ-", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec, ms);
  std::vector<platform::FolderEntry>& taken = Entries();
  for (int sequence = 1; sequence < 100; ++sequence) {
    char number[4];
    std::snprintf(number, sizeof number, "%02d", sequence);
    const std::string when = std::string(time) + number;
    const std::string start = placeName + " " + when + " ";
    if (std::none_of(taken.begin(), taken.end(),
                     [&](const platform::FolderEntry& entry) { return entry.name.starts_with(start); })) {
      // A name given is taken: the next one of this millisecond takes the next number.
      return folder_ / platform::PathFromText(reading_->Add(BackupName(placeName, when, title), true));
    }
  }
  throw std::runtime_error("more than 99 backups of " + placeName + " in one millisecond");
}

void BackupStore::Remove(const fs::path& backup) const {
  std::error_code ec;
  fs::remove_all(backup, ec);
  if (ec) throw fs::filesystem_error("Cannot remove the backup", backup, ec);
  fs::remove(AboutPath(backup), ec);
  ForgetEntry(backup);
}

bool BackupStore::IsUnchangedConversion(const BackupRecord& record) {
  return record.written && platform::ListFolder(record.folder) == record.written;
}

bool BackupStore::LooksUnchanged(const BackupRecord& record) {
  return record.written && !record.seen.empty() && platform::FolderStamp(record.folder) == record.seen;
}

std::optional<platform::FolderListing> BackupStore::WrittenInto(const fs::path& place) const {
  std::optional<WrittenRecord> record = WrittenRecordOf(place);
  if (!record) return std::nullopt;
  return std::move(record->listing);
}

std::optional<WrittenRecord> BackupStore::WrittenRecordOf(const fs::path& place) const {
  const std::optional<std::string> text = ReadText(WrittenPath(place));
  const std::string originLine = "origin " + Escaped(platform::TextFromPath(place)) + "\n";
  if (!text || text->rfind(originLine, 0) != 0) return std::nullopt;
  std::string_view rest = std::string_view(*text).substr(originLine.size());
  WrittenRecord record;
  // The version's line comes before the listing; a record of an earlier Kartwerk has none.
  const std::string versionStart = std::string(kGameVersionKey) + " ";
  if (rest.substr(0, versionStart.size()) == versionStart) {
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    record.gameVersion = GameVersionOfValue(rest.substr(versionStart.size(), end - versionStart.size()));
    rest.remove_prefix(end + 1);
  }
  // "seen <stamp>" follows: the folder's stamp as the conversion was put there (records of
  // earlier versions go without it).
  constexpr std::string_view kSeen = "seen ";
  if (rest.substr(0, kSeen.size()) == kSeen) {
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    record.seen = std::string(rest.substr(kSeen.size(), end - kSeen.size()));
    rest.remove_prefix(end + 1);
  }
  // A conversion edited since it was written (put back from its backup) keeps only its version.
  if (rest == kEditedLine) return record;
  record.listing = platform::ListingFromText(rest);
  if (!record.listing) return std::nullopt;
  return record;
}

void BackupStore::RecordWritten(const fs::path& place, const std::optional<platform::FolderListing>& listing,
                                format::GameVersionKind gameVersion, const std::string& seen) const {
  std::error_code ec;
  if (!listing && gameVersion == format::GameVersionKind::None) {
    fs::remove(WrittenPath(place), ec);
    return;
  }
  platform::MakePrivateFolder(folder_);  // the first conversion into a new place may come before any backup
  std::string text = "origin " + Escaped(platform::TextFromPath(place)) + "\n" + GameVersionLine(gameVersion);
  if (!listing) {
    WriteRecord(WrittenPath(place), text + std::string(kEditedLine));
    return;
  }
  if (!seen.empty()) text += "seen " + seen + "\n";
  WriteRecord(WrittenPath(place), text + platform::ListingText(*listing));
}

std::string BackupStore::WhenOf(const fs::path& backup, const std::string& placeName) {
  const std::string name = platform::TextFromPath(backup.filename());
  return name.size() > placeName.size() + kWhenShape.size() ? name.substr(placeName.size() + 1, kWhenShape.size())
                                                            : std::string();
}

std::vector<BackupRecord> BackupStore::OfPlace(const fs::path& place) const {
  // Resolved once: the backups' places are resolved one by one, and mostly spelled alike.
  const fs::path resolved = platform::ResolvedPath(place);
  std::vector<BackupRecord> ofPlace;
  for (BackupRecord& backup : List()) {
    if (!backup.origin.empty() && (backup.origin == place || platform::ResolvedPath(backup.origin) == resolved)) {
      ofPlace.push_back(std::move(backup));
    }
  }
  return ofPlace;
}

std::vector<fs::path> BackupStore::Prune(const fs::path& place, const std::vector<fs::path>& keep) const {
  // A backup's name starts with its place's folder name (however the place's path is spelled):
  // the records of other places stay unread.
  const std::string start = platform::TextFromPath(place.filename()) + " ";
  std::vector<fs::path> named;
  std::error_code ec;
  for (const platform::FolderEntry& entry : Entries()) {
    if (entry.name.starts_with(start)) named.push_back(folder_ / platform::PathFromText(entry.name));
  }
  std::vector<fs::path> removed;
  if (named.size() <= kKeptBackupsPerPlace) return removed;
  const fs::path resolved = platform::ResolvedPath(place);
  std::vector<BackupRecord> ofPlace;
  for (const fs::path& backup : named) {
    std::optional<BackupRecord> record = Read(backup);
    if (record && !record->origin.empty() &&
        (record->origin == place || platform::ResolvedPath(record->origin) == resolved) &&
        fs::is_directory(fs::symlink_status(backup, ec))) {
      ofPlace.push_back(std::move(*record));
    }
  }
  std::sort(ofPlace.begin(), ofPlace.end(), [](const BackupRecord& a, const BackupRecord& b) {
    return a.when != b.when ? a.when < b.when : a.folder < b.folder;
  });
  for (std::size_t i = 0; i + kKeptBackupsPerPlace < ofPlace.size(); ++i) {
    BackupRecord& backup = ofPlace[i];
    const bool justMade = std::find(keep.begin(), keep.end(), backup.folder) != keep.end();
    if (justMade || !LooksUnchanged(backup)) continue;
    if (!IsUnchangedConversion(backup)) {
      backup.written.reset();  // changed behind an unchanged stamp: kept, and never hashed again
      try {
        Describe(backup);
      } catch (const std::exception&) {
        // Hashed again next time; still never removed.
      }
      continue;
    }
    try {
      Remove(backup.folder);
      removed.push_back(backup.folder);
    } catch (const fs::filesystem_error&) {
      // Left for a later run; a backup that stays is never a loss.
    }
  }
  return removed;
}

}  // namespace kartwerk::pipeline

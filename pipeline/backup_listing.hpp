// How `kartwerk backups` tells a person about the backups: one line each, newest first, and a
// closing line with their count and size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "pipeline/backup_store.hpp"

namespace kartwerk::pipeline {

enum class BackupState {
  kUnchangedConversion,  // byte for byte what Kartwerk wrote: it can be made again
  kEdited,               // Kartwerk's conversion, changed since (in the editor, say)
  kNotKartwerkMap,       // anything else: the editor's own map, a folder of unknown origin
};

BackupState StateOfBackup(const BackupRecord& backup);
// "unchanged conversion", "edited", "not a Kartwerk map".
const char* BackupStateText(BackupState state);

// "2026-12-07 15:30:21" in the local time zone for a record's when; "time unknown" without one.
std::string LocalBackupTimeText(const std::string& when);

// "512 bytes", "1 byte", "12.3 kB", "177 MB", "2.1 GB" (powers of 1000, as file managers count).
std::string BackupSizeText(std::uintmax_t bytes);

// The start of the backup's folder name that restore takes: "map.007 2026-12-07 14-30-21.042Z-01"
// (its place and time, unique among the backups); the whole name for a backup without a record.
std::string BackupKey(const BackupRecord& backup);

// One line: the place, the local time, the title, the size, the state and the key:
//   "/g/editor/maps.src/map.007"  2026-12-07 15:30:21  "Dunes"  1.2 MB  edited  [map.007 2026-12-07 14-30-21.042Z-01]
// Names from outside are shown through ShownText.
std::string BackupLine(const BackupRecord& backup, const std::string& localTime, std::uintmax_t bytes,
                       BackupState state);

// "3 backups, 1.2 MB, in "<folder>"; kartwerk restore KEY puts one back", or "no backups in ...";
// ofPlace: folder is the place they came from rather than the backup folder.
std::string BackupsSummary(std::size_t count, std::uintmax_t bytes, const std::filesystem::path& folder, bool ofPlace);

// What restore says when it is given a place rather than a backup.
std::string NotABackupText(const std::string& place);

}  // namespace kartwerk::pipeline

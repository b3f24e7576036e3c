// The backups of the folders conversions replaced, and the records of what each conversion wrote.
//
// The backup folder (kartwerk/replaced-slots in the user's data folder) holds:
//   map.007 2026-12-07 14-30-21.042Z-01 Dunes/  a backup: the folder's previous content as it was,
//                                               named by its place, the UTC time (a sequence number
//                                               within one millisecond) and the map's title
//   .about/<backup name>                        where that backup came from, and what Kartwerk had
//                                               written there when it was the same bytes (with the
//                                               stamp of its names, sizes and times at that moment)
//   .written/<digest of a place>                what the last conversion into that place wrote, and
//                                               the game version it wrote for
// A backup belongs to its place: the full path it came from (the installation's slot, or an --out
// folder). Kartwerk removes a backup by itself only when it is byte for byte a conversion it wrote
// (it can be made again) and is not among the ten newest of its place; everything else stays until
// the user removes it. A place is the folder itself, however its path is spelled.
// A backup is hashed when it is made; listing and pruning go by the record and the stamp, and only
// a backup about to be removed is hashed again, to confirm it is still exactly what Kartwerk wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "format/game_version.hpp"
#include "platform/folder_entries.hpp"
#include "platform/folder_listing.hpp"

namespace kartwerk::pipeline {

// How many of a place's newest backups are kept whatever they hold.
inline constexpr std::size_t kKeptBackupsPerPlace = 10;

struct BackupRecord {
  std::filesystem::path folder;        // the backup itself
  std::filesystem::path origin;        // the place it came from; empty when no record says
  std::filesystem::path installation;  // the game folder, for an editor slot
  std::string when;                    // "2026-12-07 14-30-21.042Z-01": sorts oldest first
  std::string title;
  bool converted = false;                          // the place held Kartwerk's conversion (perhaps edited since)
  std::optional<platform::FolderListing> written;  // what Kartwerk wrote there, when the backup was exactly that
  std::string seen;                                // FolderStamp of the backup when written was confirmed
  // The game version the conversion there wrote for (its script keywords), when converted; none in
  // a record that does not say (written by an earlier Kartwerk).
  format::GameVersionKind gameVersion = format::GameVersionKind::None;
};

// What the last conversion into a place wrote there: every file's digest, the game version it
// wrote for (none when the record does not say), and the stamp of the folder's names, sizes and
// times as it was put there (empty in a record of an earlier version). While the place's stamp is
// still that one, its content is taken for what was written without reading it (a backup is
// hashed again before it is ever removed).
struct WrittenRecord {
  std::optional<platform::FolderListing> listing;  // none: edited since (a backup put back), only its version kept
  format::GameVersionKind gameVersion = format::GameVersionKind::None;
  std::string seen;
};

// "2026-12-07 14:30:21 UTC" of a record's when.
std::string BackupTimeText(const std::string& when);

// "map.007 2026-12-07 14-30-21.042Z-01 Dunes" for the place map.007.
std::string BackupName(const std::string& placeName, const std::string& when, const std::string& title);

// The game folder of a slot folder GAME/editor/maps.src/map.NNN; empty for any other folder.
std::filesystem::path InstallationOfSlot(const std::filesystem::path& slotFolder);

class BackupStore {
 public:
  explicit BackupStore(std::filesystem::path folder);
  const std::filesystem::path& Folder() const { return folder_; }

  // Creates the backup folder private to the user (see MakePrivateFolder; throws
  // PrivateFolderError) and removes what interrupted runs left in it, the latter once for each
  // BackupStore. Every short-lived file of the store (a record being written, a copy coming in)
  // lies in the backup folder itself, so the one reading of its names finds them all.
  void MakeReady() const;

  // Every backup in the folder, oldest first; folders no record describes have an empty origin.
  std::vector<BackupRecord> List() const;
  // The backups of a place, oldest first: every spelling of one folder (through a link, a Wine
  // drive's dosdevices entry, "..") is the same place.
  std::vector<BackupRecord> OfPlace(const std::filesystem::path& place) const;

  // The backup named by its path or by its folder name (or the start of it, when only one
  // matches); throws std::runtime_error saying what is wrong.
  BackupRecord Find(const std::string& pathOrName) const;

  // A free name for a new backup of placeName made now.
  std::filesystem::path NewBackupPath(const std::string& placeName, const std::string& title) const;
  // Writes the record of a backup; it comes before the backup, so no backup is ever without one. One
  // with written gets the stamp of what the backup holds (record.seen, or the backup's present one).
  void Describe(BackupRecord record) const;
  // Removes the record of a backup that was never made.
  void Forget(const std::filesystem::path& backup) const;
  // Removes a backup and its record.
  void Remove(const std::filesystem::path& backup) const;

  // Whether a backup still holds exactly what its record says Kartwerk wrote: every file is read.
  static bool IsUnchangedConversion(const BackupRecord& record);
  // The same judged from the names, sizes and times alone (no file is read): false whenever the
  // backup has been touched since its record was written, or the record is an older version's.
  static bool LooksUnchanged(const BackupRecord& record);

  // What the last conversion into place wrote (and, with WrittenRecordOf, the game version it wrote
  // for); nothing when no record of place can be read.
  std::optional<platform::FolderListing> WrittenInto(const std::filesystem::path& place) const;
  std::optional<WrittenRecord> WrittenRecordOf(const std::filesystem::path& place) const;
  // Records what a conversion wrote into place, made for gameVersion (none: not known), and seen,
  // the FolderStamp of what it put there. No listing (a conversion edited since, put back from its
  // backup) keeps only the version; with no version either, the record goes (the place then holds
  // what Kartwerk did not write). Nothing else forgets it.
  void RecordWritten(const std::filesystem::path& place, const std::optional<platform::FolderListing>& listing,
                     format::GameVersionKind gameVersion = format::GameVersionKind::None,
                     const std::string& seen = {}) const;

  // Removes the backups of place that are unchanged conversions and older than its ten newest,
  // never keep; returns what was removed. Only the backups named after place are read, and only
  // one about to be removed is hashed; one found changed then loses its written record, so it is
  // kept without being hashed again.
  std::vector<std::filesystem::path> Prune(const std::filesystem::path& place,
                                           const std::vector<std::filesystem::path>& keep) const;

  // The when of a backup path NewBackupPath gave for placeName.
  static std::string WhenOf(const std::filesystem::path& backup, const std::string& placeName);

 private:
  // The backup folder's entries, read once for each BackupStore (a slot commit makes one): looking
  // for leftovers, a free backup name and the backups to prune all go through this one reading. The
  // names this store gives or removes are kept in it; what other processes do meanwhile is seen by
  // the next BackupStore, and a name taken meanwhile is found when the backup is moved in.
  std::vector<platform::FolderEntry>& Entries() const;
  void ForgetEntry(const std::filesystem::path& backup) const;
  void WriteRecord(const std::filesystem::path& file, const std::string& text) const;
  std::filesystem::path AboutPath(const std::filesystem::path& backup) const;
  std::filesystem::path WrittenPath(const std::filesystem::path& place) const;
  std::optional<BackupRecord> Read(const std::filesystem::path& backup) const;

  std::filesystem::path folder_;
  mutable std::optional<platform::FolderReading> reading_;
  mutable bool ready_ = false;
};

}  // namespace kartwerk::pipeline

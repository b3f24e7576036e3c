// A conversion reaches its slot folder whole or not at all, and never costs the user the map
// that was there before. The conversion writes into a private folder beside the target (on the
// same file system, so that it can be renamed); when every step has succeeded, Commit moves the
// target's previous content aside, renames the private folder into its place and keeps the
// previous content in the backup folder. A failure or a stop leaves the target as it was.
//
// Folder names beside a target "map.007":
//   .map.007.kartwerk-new-<process>-<random>    being written; incomplete until committed
//   .map.007.kartwerk-aside-<process>-<random>  a whole map moved aside during a commit
// When the process named has ended, the next conversion into that folder's parent settles them
// once: an unfinished new folder is removed, an aside folder is put back (the target is missing)
// or kept in the backup folder, and either is reported. One that cannot be moved (another owner,
// a folder the user may not change) is reported with the reason and left alone, never copied.
// A backup's record is written before the backup itself, so no backup exists without one.
#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "pipeline/backup_store.hpp"
#include "pipeline/conversion_sink.hpp"
#include "pipeline/conversion_worker.hpp"
#include "pipeline/write_gate.hpp"
#include "platform/folder_listing.hpp"
#include "platform/written_files.hpp"

namespace kartwerk::pipeline {

// A slot folder that cannot be written as asked; the message names the folder and the reason.
class SlotFolderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// kartwerk/replaced-slots in the user's program data folder.
std::filesystem::path DefaultBackupFolder();

// The full, normal form of a target folder as the backups and records name it.
std::filesystem::path TargetPath(const std::filesystem::path& target);

// "the previous content of "…/map.007" was moved to "…"", for the user.
std::string PreviousContentText(const std::filesystem::path& target, const std::filesystem::path& previous);

using SlotWarning = std::function<void(const std::string&)>;

class SlotCommit {
 public:
  // Passes target through the write gate (the inputs and action of gate; its backup folder is
  // backupFolder), settles leftovers of interrupted runs beside it, refuses a target that is not a
  // folder and creates the private folder. Throws SlotFolderError; nothing of the target is touched.
  SlotCommit(std::filesystem::path target, std::filesystem::path backupFolder, SlotWarning warn = {},
             WriteGate gate = {});
  // Removes the private folder unless it was committed.
  ~SlotCommit();
  SlotCommit(const SlotCommit&) = delete;
  SlotCommit& operator=(const SlotCommit&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }  // where the conversion writes
  // Whether the new folder has taken the target's place (what follows only keeps the old one).
  bool Committed() const { return committed_; }
  const std::filesystem::path& Target() const { return target_; }
  // The log a conversion writing into Folder() fills (Conversion::Written): the commit records what
  // was written from it, reading back only a file the log does not know at its size.
  platform::WrittenFiles& Written() { return written_; }

  // Puts the private folder in the target's place and returns where the target's previous
  // content went (empty when it held nothing; the aside folder when it could not be moved on). The previous content is
  // made safe first: when it cannot be kept, SlotFolderError is thrown before the target is touched. On any failure the
  // target is as it was.
  std::filesystem::path Commit();
  // Removes the private folder now.
  void Discard();
  // The game version the conversion in Folder() writes for: the commit records it with what was
  // written, so that a later comparison of the place or of its backup reads it the same way.
  void SetGameVersion(format::GameVersionKind gameVersion) { gameVersion_ = gameVersion; }
  // The folder holds a backup being put back rather than a conversion: after the commit the
  // place counts as Kartwerk's own conversion only when written says so, made for gameVersion.
  void PutsBackBackup(std::optional<platform::FolderListing> written,
                      format::GameVersionKind gameVersion = format::GameVersionKind::None);

 private:
  std::filesystem::path BackupPathFor(const std::filesystem::path& content, const std::string& slotName) const;
  // Moves a folder moved aside from the slot slotName into the backup folder, its record written
  // first (at reserved, when the commit wrote it already); returns its new path, or empty (after a
  // warning) when it has to stay where it is.
  std::filesystem::path KeepInBackup(const std::filesystem::path& aside, const std::string& slotName,
                                     const std::optional<WrittenRecord>& recorded,
                                     const std::filesystem::path& reserved = {}) const;
  // Writes the record of backup, which is to hold content (a folder of the slot slotName beside
  // the target); it counts as Kartwerk's conversion when content is what recorded lists (by its
  // stamp while that is the one recorded, else by reading every file), and keeps the game version
  // recorded. Throws std::runtime_error when the record cannot be written.
  void DescribeBackup(const std::filesystem::path& backup, const std::filesystem::path& content,
                      const std::string& slotName, const std::optional<WrittenRecord>& recorded) const;
  void SettleLeftovers();

  std::filesystem::path target_;
  std::filesystem::path backupFolder_;
  BackupStore store_;
  bool writesConversion_ = true;
  std::optional<platform::FolderListing> restoredListing_;
  format::GameVersionKind gameVersion_ = format::GameVersionKind::None;
  SlotWarning warn_;
  std::filesystem::path folder_;
  platform::WrittenFiles written_;
  bool committed_ = false;
};

// The end of a conversion written through slot: a completed one is committed (a failing commit
// turns it into a failure of "replacing the slot folder"), anything else discarded. Records where
// the previous content went, or that the slot was left as it was.
void FinishSlot(SlotCommit& slot, ConversionEnd& end);

// A conversion's sink on disk: its files go into a SlotCommit's private folder, made when the
// conversion opens the sink (after the target and size checks), and put in the target's place
// when the run completes. A run that ends before the folder was made leaves the target as it was.
class SlotFolderSink final : public ConversionSink {
 public:
  // gate: what the conversion's writes keep clear of (the map it reads); the commit passes it.
  SlotFolderSink(std::filesystem::path target, std::filesystem::path backupFolder, SlotWarning warn = {},
                 WriteGate gate = {});

  std::filesystem::path Target() const override { return target_; }
  void Open(format::Conversion& conversion) override;
  void Finish(ConversionEnd& end) override;

 private:
  std::filesystem::path target_;
  std::filesystem::path backupFolder_;
  SlotWarning warn_;
  WriteGate gate_;
  std::optional<SlotCommit> slot_;
};

}  // namespace kartwerk::pipeline

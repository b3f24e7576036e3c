// Putting a backup back where it came from: the place's present content goes to the backups
// first, through the same commit a conversion uses, so a restore can itself be undone. The place
// gets back what the backup holds as it was: files, folders and links with their modes and times.
#pragma once

#include <filesystem>
#include <vector>

#include "pipeline/backup_store.hpp"
#include "pipeline/slot_commit.hpp"
#include "platform/folder_moves.hpp"

namespace kartwerk::pipeline {

struct RestoreResult {
  std::filesystem::path place;     // where the backup went back to
  std::filesystem::path previous;  // where the place's content before went; empty when it held nothing
  // What could not be put back as it was (a FIFO, a link the system refused); when anything is,
  // the backup stays.
  std::vector<platform::UncopiedEntry> notRestored;
};

// Copies backup into its place, commits it and then removes the backup, unless something in it
// could not be put back. Throws SlotFolderError (or std::runtime_error for a backup of unknown
// origin); the place and the backup then stay as they were.
RestoreResult RestoreBackup(const BackupStore& store, const BackupRecord& backup, SlotWarning warn = {});

// "could not put back "mis.000/link" (reason), ...": the entries a restore left out, for the user.
std::string NotRestoredText(const std::vector<platform::UncopiedEntry>& entries);

}  // namespace kartwerk::pipeline

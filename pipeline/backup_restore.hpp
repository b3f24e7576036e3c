// Putting a backup back where it came from: the place's present content goes to the backups
// first, through the same commit a conversion uses, so a restore can itself be undone.
#pragma once

#include <filesystem>

#include "pipeline/backup_store.hpp"
#include "pipeline/slot_commit.hpp"

namespace kartwerk {

struct RestoreResult {
  std::filesystem::path place;     // where the backup went back to
  std::filesystem::path previous;  // where the place's content before went; empty when it held nothing
};

// Copies backup into its place, commits it and then removes the backup. Throws SlotFolderError
// (or std::runtime_error for a backup of unknown origin); the place and the backup then stay
// as they were.
RestoreResult RestoreBackup(const BackupStore& store, const BackupRecord& backup, SlotWarning warn = {});

}  // namespace kartwerk

// What `convert --out DIR` may replace. An editor slot is replaced whole whatever it holds (its
// content goes to the backups); an --out folder is any folder the user names, so it is replaced
// only when it is new, empty or holds a map: what Kartwerk wrote there, unchanged, or a folder
// shaped like a slot (the slot's six files and mission folders of the mission's fifteen files).
// Anything else is refused before anything is written or moved.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "pipeline/backup_store.hpp"

namespace kartwerk::pipeline {

// Why folder may not be replaced by a conversion, in one line naming it and a few of the files
// Kartwerk did not write; nothing when it may.
std::optional<std::string> OutFolderRefusal(const std::filesystem::path& folder, const BackupStore& store);

}  // namespace kartwerk::pipeline

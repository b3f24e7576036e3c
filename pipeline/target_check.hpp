// Folders a conversion must never replace, whatever the command line says: replacing the target
// moves its whole content into the backups, so a target that holds the map, the home folder or a
// whole disk would take far more with it than a converted map.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kartwerk::pipeline {

// Why target may not receive the conversion of mapPath, or an empty text: it is the map's own
// folder or one above it, the home folder, or the root of a file system.
std::string TargetFolderProblem(const std::filesystem::path& target, const std::filesystem::path& mapPath);

// The reason alone ("it is the home folder"), for any command that replaces a folder; with an
// empty mapPath (a backup put back) only the home folder and the roots are refused.
std::string ProtectedFolderReason(const std::filesystem::path& target, const std::filesystem::path& mapPath);

// Why a map name cannot name a folder, or an empty text: empty, or only dots ("." and ".." name
// the folder itself and its parent).
std::string FolderNameProblem(const std::string& name);

// The bytes free on the file system that holds path (or the nearest folder above it that exists).
std::uint64_t AvailableBytesFor(const std::filesystem::path& path);

}  // namespace kartwerk::pipeline

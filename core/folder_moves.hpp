// Moving and copying whole folders: putting a finished slot folder in its place and keeping the
// folder it replaces. The calls whose behaviour differs between file systems and platforms (a
// rename across file systems, replacing an existing name) are made here and nowhere else.
#pragma once

#include <filesystem>
#include <system_error>

namespace kartwerk {

// Renames a folder to a name that does not exist; returns the system's error, if any.
std::error_code RenameFolder(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether a folder inside fromFolder can be renamed into toFolder (both on one file system):
// tried with an empty folder named after this process (".kartwerk-probe-<process>-<random>"),
// which is removed again.
bool RenamesBetween(const std::filesystem::path& fromFolder, const std::filesystem::path& toFolder);

// Copies a folder with everything in it to `to`, which must not exist. On a failure (a full
// disk, say) whatever was copied is removed and std::filesystem::filesystem_error is thrown.
void CopyFolder(const std::filesystem::path& from, const std::filesystem::path& to);

// A rename where one is possible, else a copy followed by the removal of the original; throws
// std::filesystem::filesystem_error, and the original stays whole when the copy fails.
void MoveFolder(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether two folders hold the same names with the same bytes.
bool SameFolderContent(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace kartwerk

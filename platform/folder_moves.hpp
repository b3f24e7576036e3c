// Moving and copying whole folders: putting a finished slot folder in its place and keeping the
// folder it replaces. The calls whose behaviour differs between file systems and platforms (a
// rename across file systems, replacing an existing name) are made here and nowhere else.
//
// A copy is made to stand in for the original: every file, folder and symbolic link comes with
// its permission bits and its access and modification times (a link as a link, never what it
// points to), so that moving a folder to another disk and back gives the folder that was there.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace kartwerk::platform {

// The error a copy reports for an entry it cannot make (a FIFO, a device, a socket); its message
// says so, for the messages that name a copy's reason.
std::error_code SpecialFileError();

// Renames a folder to a name that does not exist; returns the system's error, if any.
std::error_code RenameFolder(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether a folder inside fromFolder can be renamed into toFolder (both on one file system):
// tried with an empty folder named after this process (".kartwerk-probe-<process>-<random>"),
// which is removed again.
bool RenamesBetween(const std::filesystem::path& fromFolder, const std::filesystem::path& toFolder);

// An entry a copy could not make as it was, and why.
struct UncopiedEntry {
  std::filesystem::path relative;  // inside the copied folder
  std::string reason;
};

// Copies a folder with everything in it to `to`, which must not exist, keeping modes, times and
// links. On any failure (a full disk, an entry that cannot be copied) whatever was copied is
// removed and std::filesystem::filesystem_error is thrown, its first path the entry that failed.
void CopyFolder(const std::filesystem::path& from, const std::filesystem::path& to);

// CopyFolder that leaves out what cannot be made as it was (a FIFO, a device, a socket, a link the
// system does not let this user create) and returns those entries; any other failure throws as
// CopyFolder does.
std::vector<UncopiedEntry> CopyFolderAsFarAsPossible(const std::filesystem::path& from,
                                                     const std::filesystem::path& to);

// A rename where one is possible, else a copy followed by the removal of the original; throws
// std::filesystem::filesystem_error, and the original stays whole when the copy fails.
void MoveFolder(const std::filesystem::path& from, const std::filesystem::path& to);

// Why a copy or move failed, for a message: the entry and the system's reason.
std::string FolderMoveReason(const std::filesystem::filesystem_error& e);

// Whether two folders hold the same names with the same bytes (and links with the same targets).
bool SameFolderContent(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace kartwerk::platform

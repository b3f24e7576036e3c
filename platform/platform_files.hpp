// The few file operations whose calls differ between Linux and Windows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace kartwerk::platform {

// fopen for a path of either platform's character type.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// The absolute form of a path with "." and ".." taken out and no trailing separator. On Windows
// the system forms it, so a UNC path ("\\\\server\\share\\...") or a "\\\\?\\" path stays what it is
// instead of being joined to the current drive.
std::filesystem::path FullPath(const std::filesystem::path& path);

// FullPath with links resolved as far as the path exists, so two spellings of one file compare
// equal. A UNC or "\\\\?\\" path is only made full: the library would join it to the current drive.
std::filesystem::path ResolvedPath(const std::filesystem::path& path);

// Opens an existing file for reading, but only a regular file: a FIFO, a device or a folder is
// refused (notAFile set, nullptr returned) without ever blocking, because the file is opened
// non-blocking and checked on its handle, so nothing can swap it between the check and the read.
// Reading leaves the file's access time as it was where the system allows it (the user's own
// files on Linux), so hashing or copying a slot never changes what a backup keeps.
std::FILE* OpenForReading(const std::filesystem::path& path, bool& notAFile);

// A new file of a unique name beside target (for an atomic replace); its path is returned in made.
std::FILE* CreateUniqueSibling(const std::filesystem::path& target, std::filesystem::path& made);

// Where temporary folders go: on Linux TMPDIR, else TEMP, else /tmp; on Windows the folder
// GetTempPathW names (from TMP, TEMP or USERPROFILE, as the system decides).
std::filesystem::path TemporaryRoot();

// Moves a finished temporary file over target, replacing it; on Windows the move is written
// through to the disk before it returns. Throws FileCreateError naming target; a target that
// another program holds open is reported as such.
void ReplaceFileWith(const std::filesystem::path& temporary, const std::filesystem::path& target);

// Creates a folder only the current user can enter, with a unique name under base.
std::filesystem::path CreatePrivateFolder(const std::filesystem::path& base, const char* prefix);

// Why the user could not move path with everything in it to another folder, or remove it: the
// first entry that belongs to another user, or a folder the user may not change, named with the
// reason; empty when nothing stands in the way. Links are looked at, never followed. On Windows,
// where access lies in the folders' access lists, the move itself reports what stops it.
std::string MoveObstacle(const std::filesystem::path& path);

// Why the user may not create or rename entries in folder (or, while it is missing, in the nearest
// folder above it that exists); empty when they may.
std::string FolderWriteObstacle(const std::filesystem::path& folder);

// An entry's last access and modification times, in nanoseconds since 1970 (UTC). Read and set on
// the entry itself: a symbolic link's own times, never its target's.
struct EntryTimes {
  std::int64_t accessed = 0;
  std::int64_t modified = 0;
};
std::optional<EntryTimes> ReadEntryTimes(const std::filesystem::path& path);
std::error_code SetEntryTimes(const std::filesystem::path& path, const EntryTimes& times);

// Ten random letters and digits, for names nobody else picks by chance.
std::string RandomSuffix();

// The running program's process number, and whether a process of a number still runs: a folder
// named after a process that has ended was left behind by an interrupted run.
unsigned long CurrentProcessId();
bool ProcessIsRunning(unsigned long id);

// The calendar time of a moment in the local time zone.
std::tm LocalTime(std::time_t seconds);
// The calendar time of a moment in UTC.
std::tm UtcTime(std::time_t seconds);

}  // namespace kartwerk::platform

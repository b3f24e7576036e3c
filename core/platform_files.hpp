// The few file operations whose calls differ between Linux and Windows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

namespace kartwerk {

// fopen for a path of either platform's character type.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

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

// Permission bits (POSIX mode bits; on Windows the read-only attribute maps to 0444 or 0666).
std::uint32_t PermissionBits(const std::filesystem::path& path);
void SetPermissionBits(const std::filesystem::path& path, std::uint32_t bits);

// An existing file that may not be written to is made writable by its owner.
void MakeWritable(const std::filesystem::path& path);

void SetModificationTime(const std::filesystem::path& path, std::time_t seconds);

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

}  // namespace kartwerk

// How much a conversion will write, known before anything is written, and the most a real map
// can need: a campaign zipped from a few megabytes of repeated bytes can otherwise fill a disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "format/conversion.hpp"

namespace kartwerk::format {

inline constexpr std::uint64_t kMebibyte = 1024 * 1024;
// Every mission writes its two grid files of 512 x 512 cells whole, whatever its data holds.
inline constexpr std::uint64_t kMissionGridFilesBytes = 2 * 512 * 512;
// The largest campaign the editor can make: 255 missions of a 512 x 512 map. Its main file holds
// the map-level sections (a 4-byte rhomb and three 4-byte cell-flag records per cell, 4 MiB, and
// the objects) within 16 MiB; each mission file its two 256 KiB grid sections, a mission picture
// of at most 1 MiB and units, scripts and texts within 2 MiB, and writes its grid files (512 KiB)
// whole: 4 MiB a mission. 16 MiB + 255 x 4 MiB = 1036 MiB.
inline constexpr std::uint64_t kMaxConversionBytes = (16 + 255 * 4) * kMebibyte;

// The decompressed length a gzip file's last member states in its trailer (0 when the file is
// shorter than a trailer or cannot be read). A map is one member, so this is its whole length.
std::uint64_t StoredLength(const std::filesystem::path& gzipFile);

// What a staged conversion will write: the main file's decompressed bytes, each mission file's
// stored length, and each mission's grid files.
std::uint64_t PlannedConversionBytes(const Conversion& c);

// Why a conversion of planned bytes may not be written into a file system with available bytes
// free, or an empty text: it is larger than the largest real campaign, or than the free space.
std::string ConversionSizeProblem(std::uint64_t planned, std::uint64_t available);

// "1036 MiB" (rounded up), or the bytes below one mebibyte.
std::string SizeText(std::uint64_t bytes);

}  // namespace kartwerk::format

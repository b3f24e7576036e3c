// Reading files that come from outside: every read opens through OpenForReading (regular files
// only, never blocking on a FIFO or a device) and, where the whole file is kept in memory, reads
// at most a stated number of bytes, so a file planted large (or sparse, of terabytes) costs no
// more than the bound.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "core/byte_stream.hpp"

namespace kartwerk::platform {

// The bound of the small files whose absence is an answer, unless the caller names its own.
inline constexpr std::size_t kMaxSmallFileBytes = 64u << 20;

// Reads a whole regular file into memory; throws std::ios_base::failure naming the file when it
// cannot be opened or is no regular file (a FIFO, a device, a folder).
core::Bytes ReadWholeFile(const std::filesystem::path& path);

// The bytes of a regular file as text, or nothing when it cannot be opened, is no regular file or
// holds more than maxBytes: for the small files whose absence is an answer (a record, a registry
// file). Never more than maxBytes are read or allocated.
std::optional<std::string> ReadFileText(const std::filesystem::path& path, std::size_t maxBytes = kMaxSmallFileBytes);

// Whether two regular files hold the same bytes, compared piece by piece (neither is held whole);
// false when either cannot be read.
bool SameFileBytes(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace kartwerk::platform

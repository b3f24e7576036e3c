// Reading a whole file into memory at once.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/byte_stream.hpp"

namespace kartwerk {

// Reads a whole regular file into memory; throws std::ios_base::failure naming the file when it
// cannot be opened or is no regular file (a FIFO, a device, a folder).
Bytes ReadWholeFile(const std::filesystem::path& path);

// The bytes of a regular file as text, or nothing when it cannot be opened or is no regular
// file: for the small files whose absence is an answer (a slot's desc, a registry file).
std::optional<std::string> ReadFileText(const std::filesystem::path& path);

}  // namespace kartwerk

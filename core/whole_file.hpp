// Reading a whole file into memory at once.
#pragma once

#include <filesystem>

#include "core/byte_stream.hpp"

namespace kartwerk {

// Reads a whole file into memory; throws std::ios_base::failure naming the file.
Bytes ReadWholeFile(const std::filesystem::path& path);

}  // namespace kartwerk

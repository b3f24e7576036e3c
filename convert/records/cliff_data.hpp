// The "cliffdata" file: the 49-byte cliff masks installed beside the program.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "core/byte_stream.hpp"

namespace kartwerk {

inline constexpr const char* kCliffDataFileName = "cliffdata";

// "cliffdata" missing or unreadable; the message names the file.
class CliffDataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole file, shared read-only by every conversion that uses it.
std::shared_ptr<const Bytes> LoadCliffData(const std::filesystem::path& path);

// ProgramFolder() / "cliffdata".
std::filesystem::path DefaultCliffDataPath();

}  // namespace kartwerk

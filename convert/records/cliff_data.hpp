// The "cliffdata" file: the 49-byte cliff masks installed with the program.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "core/byte_stream.hpp"
#include "platform/program_files.hpp"

namespace kartwerk::records {

inline constexpr const char* kCliffDataFileName = "cliffdata";

// "cliffdata" missing or unreadable; the message names the file.
class CliffDataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole file, shared read-only by every conversion that uses it.
std::shared_ptr<const core::Bytes> LoadCliffData(const std::filesystem::path& path);

// "cliffdata" among the program's data files (beside the program, or share/kartwerk when installed).
std::filesystem::path DefaultCliffDataPath();

}  // namespace kartwerk::records

// Where a conversion's files go instead of the disk: a receiver of each file's content, piece by
// piece, in the order the conversion makes them. A comparison converts a map this way, so nothing
// is written and no file is ever held whole unless the receiver keeps it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace kartwerk::platform {

class FileSink {
 public:
  virtual ~FileSink() = default;
  // A file of this path starts; the pieces of its content follow through Write.
  virtual void Begin(const std::filesystem::path& target) = 0;
  virtual void Write(std::span<const std::uint8_t> piece) = 0;
  // The file begun last is complete. A file whose writer failed gets no End.
  virtual void End() = 0;
};

}  // namespace kartwerk::platform

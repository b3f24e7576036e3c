#include "platform/whole_file.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ios>
#include <limits>
#include <memory>
#include <system_error>

#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::platform {
namespace {

using FileHandle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The rest of an open file appended to data, at most maxBytes of it; false on a read error or
// when the file holds more.
template <class Buffer>
bool ReadRest(std::FILE* file, Buffer& data, std::size_t maxBytes) {
  // One allocation of the file's size and one read: a container is several megabytes, and
  // growing the buffer as bytes arrive would copy it over and over and hold two copies at once.
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long size = std::ftell(file);
    std::rewind(file);
    if (size > 0) data.reserve(std::min(static_cast<std::size_t>(size), maxBytes));
  }
  // Whatever a file that grew meanwhile holds beyond its size at the start still belongs to it.
  char chunk[1 << 16];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
    if (n > maxBytes - data.size()) return false;
    data.insert(data.end(), chunk, chunk + n);
  }
  return std::ferror(file) == 0;
}

}  // namespace

core::Bytes ReadWholeFile(const std::filesystem::path& path) {
  bool notAFile = false;
  FileHandle file(OpenForReading(path, notAFile), &std::fclose);
  if (!file) {
    throw std::ios_base::failure("Cannot open file \"" + TextFromPath(path) + "\". " +
                                     (notAFile ? "It is not a file" : "No such file or directory"),
                                 std::make_error_code(std::errc::no_such_file_or_directory));
  }
  core::Bytes data;
  if (!ReadRest(file.get(), data, std::numeric_limits<std::size_t>::max())) {
    throw std::ios_base::failure("Cannot read file \"" + TextFromPath(path) + "\"",
                                 std::make_error_code(std::errc::io_error));
  }
  return data;
}

std::optional<std::string> ReadFileText(const std::filesystem::path& path, std::size_t maxBytes) {
  bool notAFile = false;
  FileHandle file(OpenForReading(path, notAFile), &std::fclose);
  std::string text;
  if (!file || !ReadRest(file.get(), text, maxBytes)) return std::nullopt;
  return text;
}

bool SameFileBytes(const std::filesystem::path& a, const std::filesystem::path& b) {
  bool notAFile = false;
  FileHandle first(OpenForReading(a, notAFile), &std::fclose);
  FileHandle second(OpenForReading(b, notAFile), &std::fclose);
  if (!first || !second) return false;
  static constexpr std::size_t kPiece = 1 << 16;
  const auto pieces = std::make_unique<char[]>(2 * kPiece);
  char* const x = pieces.get();
  char* const y = pieces.get() + kPiece;
  for (;;) {
    const std::size_t n = std::fread(x, 1, kPiece, first.get());
    const std::size_t m = std::fread(y, 1, kPiece, second.get());
    if (n != m || std::memcmp(x, y, n) != 0) return false;
    if (n < kPiece) return std::ferror(first.get()) == 0 && std::ferror(second.get()) == 0;
  }
}

}  // namespace kartwerk::platform

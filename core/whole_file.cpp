#include "core/whole_file.hpp"

#include <cstdio>
#include <ios>
#include <memory>
#include <system_error>

#include "core/path_text.hpp"
#include "core/platform_files.hpp"

namespace kartwerk {
namespace {

using FileHandle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The rest of an open file appended to data; false on a read error.
template <class Buffer>
bool ReadRest(std::FILE* file, Buffer& data) {
  // One allocation of the file's size and one read: a container is several megabytes, and
  // growing the buffer as bytes arrive would copy it over and over and hold two copies at once.
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long size = std::ftell(file);
    std::rewind(file);
    if (size > 0) data.reserve(static_cast<std::size_t>(size));
  }
  // Whatever a file that grew meanwhile holds beyond its size at the start still belongs to it.
  char chunk[1 << 16];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) data.insert(data.end(), chunk, chunk + n);
  return std::ferror(file) == 0;
}

}  // namespace

Bytes ReadWholeFile(const std::filesystem::path& path) {
  bool notAFile = false;
  FileHandle file(OpenForReading(path, notAFile), &std::fclose);
  if (!file) {
    throw std::ios_base::failure("Cannot open file \"" + TextFromPath(path) + "\". " +
                                     (notAFile ? "It is not a file" : "No such file or directory"),
                                 std::make_error_code(std::errc::no_such_file_or_directory));
  }
  Bytes data;
  if (!ReadRest(file.get(), data)) {
    throw std::ios_base::failure("Cannot read file \"" + TextFromPath(path) + "\"",
                                 std::make_error_code(std::errc::io_error));
  }
  return data;
}

std::optional<std::string> ReadFileText(const std::filesystem::path& path) {
  bool notAFile = false;
  FileHandle file(OpenForReading(path, notAFile), &std::fclose);
  std::string text;
  if (!file || !ReadRest(file.get(), text)) return std::nullopt;
  return text;
}

}  // namespace kartwerk

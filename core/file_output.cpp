#include "core/file_output.hpp"

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "core/errors.hpp"
#include "core/platform_files.hpp"

namespace kartwerk {

void WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> content) {
  std::filesystem::path temp;
  std::FILE* out = CreateUniqueSibling(path, temp);
  if (!out) throw FileCreateError(path.string(), std::strerror(errno));
  // An empty content gives an empty file; fwrite is not handed the null pointer of an empty span.
  const bool written = content.empty() || std::fwrite(content.data(), 1, content.size(), out) == content.size();
  const int writeError = errno;
  if (std::fclose(out) != 0 || !written) {
    const int error = written ? errno : writeError;
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    throw FileCreateError(path.string(), std::strerror(error));
  }
  try {
    ReplaceFileWith(temp, path);
  } catch (...) {
    std::error_code cleanup;
    std::filesystem::remove(temp, cleanup);
    throw;
  }
}

void DiscardFile(const std::filesystem::path& path) {
  std::error_code ignored;
  if (!std::filesystem::is_directory(path, ignored)) std::filesystem::remove(path, ignored);
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view content) {
  WriteFileAtomic(path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(content.data()),
                                                      content.size()));
}

}  // namespace kartwerk

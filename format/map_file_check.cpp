#include "format/map_file_check.hpp"

#include <system_error>

#include "core/error_text.hpp"
#include "core/text.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::format {

bool HasCompiledMapExtension(const std::filesystem::path& path) {
  const std::string extension = core::AsciiLower(platform::TextFromPath(path.extension()));
  return extension == ".qdm" || extension == ".qdp" || extension == ".qdc";
}

std::optional<std::string> MapFileProblem(const std::filesystem::path& path) {
  const std::string quoted = "\"" + platform::TextFromPath(path) + "\"";
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) return quoted + " does not exist";
  if (ec) return quoted + " cannot be read: " + core::ErrorText(ec);
  if (std::filesystem::is_directory(status)) return quoted + " is a folder";
  // Any other extension would be taken for a campaign's and fail later with a misleading path.
  if (!HasCompiledMapExtension(path)) return quoted + " is not a compiled map (expected .qdm, .qdp or .qdc)";
  if (!std::filesystem::is_regular_file(status)) return quoted + " is not a map file";
  return std::nullopt;
}

}  // namespace kartwerk::format

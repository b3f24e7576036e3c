#include "core/temp_folder.hpp"

#include <cstdlib>
#include <system_error>

#include "core/platform_files.hpp"

namespace kartwerk {

PrivateTempFolder::PrivateTempFolder() {
  const char* base = std::getenv("TMPDIR");
  if (!base || !*base) base = std::getenv("TEMP");
  std::filesystem::path root = (base && *base) ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
  path_ = CreatePrivateFolder(root, "kartwerk-");
}

PrivateTempFolder::~PrivateTempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace kartwerk

#include "core/temp_folder.hpp"

#include <cstdlib>
#include <system_error>

#include "core/platform_files.hpp"

namespace kartwerk {

PrivateTempFolder::PrivateTempFolder() { path_ = CreatePrivateFolder(TemporaryRoot(), "kartwerk-"); }

PrivateTempFolder::~PrivateTempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace kartwerk

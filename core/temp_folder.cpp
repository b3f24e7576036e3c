#include "core/temp_folder.hpp"

#include <stdlib.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace kartwerk {

PrivateTempFolder::PrivateTempFolder() {
  const char* base = std::getenv("TMPDIR");
  if (!base || !*base) base = std::getenv("TEMP");
  if (!base || !*base) base = "/tmp";
  std::string templ = (std::filesystem::path(base) / "kartwerk-XXXXXX").string();
  if (!::mkdtemp(templ.data())) {
    throw std::filesystem::filesystem_error("Cannot create a temporary folder", std::filesystem::path(base),
                                            std::error_code(errno, std::generic_category()));
  }
  path_ = templ;
}

PrivateTempFolder::~PrivateTempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace kartwerk

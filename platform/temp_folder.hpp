// A private temporary folder for one run, created under the system's temporary folder and
// removed with everything in it when the owner goes away, so runs never share or collide on
// file names.
#pragma once

#include <filesystem>

namespace kartwerk::platform {

class PrivateTempFolder {
 public:
  PrivateTempFolder();  // throws std::filesystem::filesystem_error when it cannot be made
  ~PrivateTempFolder();
  PrivateTempFolder(const PrivateTempFolder&) = delete;
  PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace kartwerk::platform

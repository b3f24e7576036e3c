// The files a conversion wrote, each with its size and the digest taken from the bytes in memory
// as they were written: the record of what Kartwerk wrote comes from here, not from reading the
// files back. Mission writers on several threads record into one log.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace kartwerk::platform {

struct WrittenFile {
  std::uintmax_t size = 0;
  std::string digest;  // as ContentHash::Digest gives it
};

class WrittenFiles {
 public:
  // A file now holds these bytes (a later write of the same path replaces the earlier).
  void Record(const std::filesystem::path& file, WrittenFile written);
  // The file was removed, or is being written anew.
  void Forget(const std::filesystem::path& file);
  std::optional<WrittenFile> Find(const std::filesystem::path& file) const;

 private:
  static std::string Key(const std::filesystem::path& file);

  mutable std::mutex mutex_;
  std::map<std::string, WrittenFile> files_;
};

}  // namespace kartwerk::platform

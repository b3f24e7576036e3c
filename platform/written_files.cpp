#include "platform/written_files.hpp"

namespace kartwerk::platform {

std::string WrittenFiles::Key(const std::filesystem::path& file) {
  const std::u8string text = file.lexically_normal().generic_u8string();
  return std::string(text.begin(), text.end());
}

void WrittenFiles::Record(const std::filesystem::path& file, WrittenFile written) {
  const std::lock_guard lock(mutex_);
  files_[Key(file)] = std::move(written);
}

void WrittenFiles::Forget(const std::filesystem::path& file) {
  const std::lock_guard lock(mutex_);
  files_.erase(Key(file));
}

std::optional<WrittenFile> WrittenFiles::Find(const std::filesystem::path& file) const {
  const std::lock_guard lock(mutex_);
  const auto found = files_.find(Key(file));
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

}  // namespace kartwerk::platform

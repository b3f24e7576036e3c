#include "tests/support/folder_tree.hpp"

#ifndef _WIN32
#include <sys/mount.h>
#endif

#include <algorithm>

#include "core/path_text.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk::testing {

std::vector<std::pair<std::string, Bytes>> TreeFiles(const std::filesystem::path& root) {
  std::vector<std::pair<std::string, Bytes>> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.is_regular_file())
      files.emplace_back(TextFromPath(entry.path().lexically_relative(root)), ReadBytes(entry.path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> EntryNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(TextFromPath(it->path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

#ifdef _WIN32
// Windows has no tmpfs: the file-system tests skip there.
ScratchMount::ScratchMount(const std::filesystem::path& base, std::size_t kibibytes)
    : path_(base / "mount"), kibibytes_(kibibytes) {}
ScratchMount::~ScratchMount() = default;
bool ScratchMount::SetReadOnly(bool) { return false; }
#else
namespace {
std::string Options(std::size_t kibibytes, bool readOnly) {
  return "size=" + std::to_string(kibibytes) + "k,mode=0755" + (readOnly ? ",ro" : "");
}
}  // namespace

ScratchMount::ScratchMount(const std::filesystem::path& base, std::size_t kibibytes)
    : path_(base / "mount"), kibibytes_(kibibytes) {
  std::filesystem::create_directories(path_);
  mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, Options(kibibytes_, false).c_str()) == 0;
}

ScratchMount::~ScratchMount() {
  if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

bool ScratchMount::SetReadOnly(bool readOnly) {
  return mounted_ && ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | (readOnly ? MS_RDONLY : 0),
                             Options(kibibytes_, readOnly).c_str()) == 0;
}

#endif

}  // namespace kartwerk::testing

#include "tests/support/folder_tree.hpp"

#ifndef _WIN32
#include <sys/mount.h>
#endif

#include <algorithm>
#include <optional>

#include "mapmaker/map_builder.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::testing {

std::vector<std::pair<std::string, core::Bytes>> TreeFiles(const std::filesystem::path& root) {
  std::vector<std::pair<std::string, core::Bytes>> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.is_regular_file())
      files.emplace_back(platform::TextFromPath(entry.path().lexically_relative(root)),
                         mapmaker::ReadBytes(entry.path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> EntryNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(platform::TextFromPath(it->path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> TreeStats(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  std::vector<std::string> lines;
  const auto add = [&](const fs::path& path, const std::string& name) {
    const fs::file_status status = fs::symlink_status(path);
    const std::optional<platform::EntryTimes> times = platform::ReadEntryTimes(path);
    std::string line = name + (fs::is_symlink(status)     ? " link " + fs::read_symlink(path).string()
                               : fs::is_directory(status) ? " folder"
                                                          : " file");
    if (!fs::is_symlink(status)) line += " mode " + std::to_string(static_cast<unsigned>(status.permissions()));
    line += times ? " modified " + std::to_string(times->modified) : " no times";
    if (times && fs::is_regular_file(status)) line += " accessed " + std::to_string(times->accessed);
    lines.push_back(line);
  };
  add(root, ".");
  for (fs::recursive_directory_iterator it(root), end; it != end; ++it) {
    add(it->path(), it->path().lexically_relative(root).generic_string());
  }
  std::sort(lines.begin(), lines.end());
  return lines;
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

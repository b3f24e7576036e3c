#include "platform/folder_entries.hpp"

#include <cstring>
#include <system_error>
#include <utility>

#include "platform/path_text.hpp"

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace kartwerk::platform {
namespace {

struct ReadEntry {
  std::size_t at = 0;
  std::size_t size = 0;
  bool folder = false;
};

#ifdef _WIN32

void ReadNames(const std::filesystem::path& folder, std::string& text, std::vector<ReadEntry>& read) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code kind;
    const std::string name = TextFromPath(it->path().filename());
    read.push_back({text.size(), name.size(), it->is_directory(kind)});
    text += name;
  }
}

#else

void ReadNames(const std::filesystem::path& folder, std::string& text, std::vector<ReadEntry>& read) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool isFolder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      // The system did not say (some file systems never do), or a link: where it leads decides.
      struct stat status {};
      isFolder = ::fstatat(::dirfd(dir), entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
    }
    read.push_back({text.size(), name.size(), isFolder});
    text += name;
  }
  ::closedir(dir);
}

#endif

}  // namespace

FolderReading::FolderReading(const std::filesystem::path& folder) {
  std::string text;
  std::vector<ReadEntry> read;
  text.reserve(16 * 1024);  // a backup folder of some 300 backups in one go
  read.reserve(512);
  ReadNames(folder, text, read);
  names_ = std::make_unique_for_overwrite<char[]>(text.size() + 1);
  std::memcpy(names_.get(), text.data(), text.size());
  entries_.reserve(read.size());
  for (const ReadEntry& entry : read) entries_.push_back({{names_.get() + entry.at, entry.size}, entry.folder});
}

std::string_view FolderReading::Add(std::string name, bool folder) {
  const std::string_view kept = added_.emplace_back(std::move(name));
  entries_.push_back({kept, folder});
  return kept;
}

}  // namespace kartwerk::platform

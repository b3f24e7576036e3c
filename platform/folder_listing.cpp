#include "platform/folder_listing.hpp"

#include <algorithm>
#include <chrono>
#include <functional>
#include <system_error>

#include "platform/content_hash.hpp"

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>
#endif

namespace kartwerk::platform {
namespace fs = std::filesystem;
namespace {

// Calls visit(name, status, entry) for every entry under folder; false when the folder cannot be
// read, holds a name with a line break, or visit refuses an entry.
bool WalkFolder(const fs::path& folder,
                const std::function<bool(const std::string&, fs::file_status, const fs::directory_entry&)>& visit) {
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(folder, ec))) return false;
  fs::recursive_directory_iterator it(folder, ec);
  for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
    const std::u8string relative = it->path().lexically_relative(folder).generic_u8string();
    const std::string name(relative.begin(), relative.end());
    if (name.find_first_of("\r\n") != std::string::npos) return false;
    const fs::file_status status = it->symlink_status(ec);
    if (ec || !(fs::is_directory(status) || fs::is_regular_file(status))) return false;
    if (!visit(name, status, *it)) return false;
  }
  return !ec;
}

bool IsHex(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

}  // namespace

std::optional<FolderListing> ListFolder(const fs::path& folder, const WrittenFiles* known) {
  FolderListing listing;
  const bool read = WalkFolder(folder, [&](const std::string& name, fs::file_status status, const auto& entry) {
    if (fs::is_directory(status)) {
      listing[name] = "";
      return true;
    }
    std::error_code ec;
    const std::uintmax_t size = entry.file_size(ec);
    if (ec) return false;
    std::optional<std::string> digest;
    if (known) {
      if (std::optional<WrittenFile> logged = known->Find(entry.path()); logged && logged->size == size) {
        digest = std::move(logged->digest);
      }
    }
    if (!digest) digest = FileDigest(entry.path());
    if (!digest) return false;
    listing[name] = std::to_string(size) + " " + *digest;
    return true;
  });
  if (!read) return std::nullopt;
  return listing;
}

#ifndef _WIN32

namespace {

// The entries under the open folder dir as FolderStamp counts them: "<relative name>\n<facts>\n",
// facts "d" for a folder, "<size> <modification time>" for a file (the time in file_time_type's
// ticks, as std::filesystem gives it). One lstat an entry and no path made of each: stamping the
// slot at every commit, and every backup on `kartwerk backups`, costs little. False as WalkFolder.
bool StampEntries(int dir, const std::string& prefix, std::vector<std::string>& lines) {
  DIR* stream = ::fdopendir(dir);
  if (!stream) {
    ::close(dir);
    return false;
  }
  bool read = true;
  errno = 0;
  while (const dirent* entry = ::readdir(stream)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (name.find_first_of("\r\n") != std::string_view::npos) {
      read = false;
      break;
    }
    struct stat status {};
    if (::fstatat(::dirfd(stream), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
      read = false;
      break;
    }
    std::string line = prefix;
    line += name;
    if (S_ISDIR(status.st_mode)) {
      const int sub = ::openat(::dirfd(stream), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      lines.push_back(line + "\nd\n");
      if (sub < 0 || !StampEntries(sub, line + "/", lines)) {
        read = false;
        break;
      }
    } else if (S_ISREG(status.st_mode)) {
      using namespace std::chrono;
      // std::filesystem refuses times past what its system_clock ticks can hold; so does the stamp.
      if (status.st_mtim.tv_sec >= duration_cast<seconds>(nanoseconds::max()).count()) {
        read = false;
        break;
      }
      const sys_time<nanoseconds> modified{seconds{status.st_mtim.tv_sec} + nanoseconds{status.st_mtim.tv_nsec}};
      const auto ticks = file_clock::from_sys(modified).time_since_epoch().count();
      line += '\n';
      line += std::to_string(status.st_size);
      line += ' ';
      line += std::to_string(ticks);
      line += '\n';
      lines.push_back(std::move(line));
    } else {
      read = false;  // a link, a FIFO, a device: never a folder Kartwerk wrote
      break;
    }
    errno = 0;
  }
  if (read && errno != 0) read = false;  // the folder could not be read to its end
  ::closedir(stream);
  return read;
}

}  // namespace

std::optional<std::string> FolderStamp(const fs::path& folder) {
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dir < 0) return std::nullopt;
  std::vector<std::string> lines;
  if (!StampEntries(dir, "", lines)) return std::nullopt;
  // Sorted by name, whatever order the folder gives (names are unique, and end at the line break).
  const auto name = [](const std::string& line) { return std::string_view(line).substr(0, line.find('\n')); };
  std::sort(lines.begin(), lines.end(), [&](const std::string& a, const std::string& b) { return name(a) < name(b); });
  std::string text;
  for (const std::string& line : lines) text += line;
  return ContentDigest(text);
}

#else

std::optional<std::string> FolderStamp(const fs::path& folder) {
  std::map<std::string, std::string> entries;  // sorted, whatever order the folder gives
  const bool read = WalkFolder(folder, [&](const std::string& name, fs::file_status status, const auto& entry) {
    if (fs::is_directory(status)) {
      entries[name] = "d";
      return true;
    }
    std::error_code ec;
    const std::uintmax_t size = entry.file_size(ec);
    const auto time = entry.last_write_time(ec);
    if (ec) return false;
    entries[name] = std::to_string(size) + " " + std::to_string(time.time_since_epoch().count());
    return true;
  });
  if (!read) return std::nullopt;
  ContentHash hash;
  for (const auto& [name, facts] : entries) {
    hash.Add(name);
    hash.Add(std::string_view("\n", 1));
    hash.Add(facts);
    hash.Add(std::string_view("\n", 1));
  }
  return hash.Digest();
}

#endif

std::string ListingText(const FolderListing& listing) {
  std::string text;
  for (const auto& [name, stamp] : listing) text += (stamp.empty() ? "d " : "f " + stamp + " ") + name + "\n";
  return text;
}

std::optional<FolderListing> ListingFromText(std::string_view text) {
  FolderListing listing;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (line.size() > 2 && line.substr(0, 2) == "d ") {
      listing[std::string(line.substr(2))] = "";
      continue;
    }
    // "f <size> <digest> <name>"
    if (line.substr(0, 2) != "f ") return std::nullopt;
    line.remove_prefix(2);
    const std::size_t sizeEnd = line.find(' ');
    if (sizeEnd == 0 || sizeEnd == std::string_view::npos) return std::nullopt;
    const std::string_view size = line.substr(0, sizeEnd);
    if (!std::all_of(size.begin(), size.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    line.remove_prefix(sizeEnd + 1);
    const std::size_t digestEnd = line.find(' ');
    if (digestEnd == std::string_view::npos || digestEnd + 1 == line.size()) return std::nullopt;
    const std::string_view digest = line.substr(0, digestEnd);
    const std::size_t colon = digest.find(':');
    std::string kind;
    if (colon == std::string_view::npos) {
      if (digest.size() != 64 || !IsHex(digest)) return std::nullopt;
      kind = "sha256:";  // written by a version that knew no other
    } else if (colon == 0 || digest.size() == colon + 1 || !IsHex(digest.substr(colon + 1))) {
      return std::nullopt;
    }
    listing[std::string(line.substr(digestEnd + 1))] = std::string(size) + " " + kind + std::string(digest);
  }
  return listing;
}

std::uintmax_t ListingBytes(const FolderListing& listing) {
  std::uintmax_t bytes = 0;
  for (const auto& [name, stamp] : listing) {
    if (!stamp.empty()) bytes += std::stoull(stamp.substr(0, stamp.find(' ')));
  }
  return bytes;
}

}  // namespace kartwerk::platform

#include "platform/folder_listing.hpp"

#include <algorithm>
#include <chrono>
#include <functional>
#include <system_error>

#include "platform/content_hash.hpp"

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

#include "core/folder_listing.hpp"

#include <system_error>

#include "core/sha256.hpp"

namespace kartwerk {
namespace fs = std::filesystem;

std::optional<FolderListing> ListFolder(const fs::path& folder) {
  FolderListing listing;
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(folder, ec))) return std::nullopt;
  fs::recursive_directory_iterator it(folder, ec);
  for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
    const std::u8string relative = it->path().lexically_relative(folder).generic_u8string();
    const std::string name(relative.begin(), relative.end());
    if (name.find_first_of("\r\n") != std::string::npos) return std::nullopt;
    const fs::file_status status = it->symlink_status(ec);
    if (ec) return std::nullopt;
    if (fs::is_directory(status)) {
      listing[name] = "";
    } else if (fs::is_regular_file(status)) {
      const std::optional<std::string> sha = FileSha256(it->path());
      const std::uintmax_t size = it->file_size(ec);
      if (!sha || ec) return std::nullopt;
      listing[name] = std::to_string(size) + " " + *sha;
    } else {
      return std::nullopt;
    }
  }
  if (ec) return std::nullopt;
  return listing;
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
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (line.size() > 2 && line.substr(0, 2) == "d ") {
      listing[std::string(line.substr(2))] = "";
      continue;
    }
    // "f <size> <64 hex digits> <name>"
    const std::size_t blank = line.find(' ', 2);
    if (line.substr(0, 2) != "f " || blank == std::string_view::npos || blank == 2 ||
        line.size() < blank + 1 + 64 + 2 || line[blank + 65] != ' ') {
      return std::nullopt;
    }
    for (const char digit : line.substr(2, blank - 2)) {
      if (digit < '0' || digit > '9') return std::nullopt;
    }
    listing[std::string(line.substr(blank + 66))] = std::string(line.substr(2, blank + 63));
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

}  // namespace kartwerk

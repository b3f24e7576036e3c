// The entries of one folder by name, read without making a path of each: a folder of many entries
// (the backup folder, the folder around a slot) costs only its names to look through.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kartwerk::platform {

struct FolderEntry {
  std::string_view name;  // as TextFromPath gives it; the text is the FolderReading's
  bool folder = false;    // a folder, or a link that leads to one
};

// A folder's entries, and the text of their names in one piece (no allocation for each name).
class FolderReading {
 public:
  // The entries but "." and "..", in the order the system gives them; none when folder cannot be read.
  explicit FolderReading(const std::filesystem::path& folder);
  FolderReading(FolderReading&&) noexcept = default;
  FolderReading& operator=(FolderReading&&) noexcept = default;

  std::vector<FolderEntry>& Entries() { return entries_; }
  const std::vector<FolderEntry>& Entries() const { return entries_; }
  // An entry made since the folder was read, its name kept here; returns its name.
  std::string_view Add(std::string name, bool folder);

 private:
  std::unique_ptr<char[]> names_;  // never moves, so the entries' names stay valid
  std::deque<std::string> added_;  // neither do the strings of a deque
  std::vector<FolderEntry> entries_;
};

}  // namespace kartwerk::platform

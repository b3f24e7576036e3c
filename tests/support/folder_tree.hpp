// Folders as tests compare them: every file with its bytes, and what else lies beside a folder.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/byte_stream.hpp"

namespace kartwerk::testing {

// Every file under root, by its path relative to root, with its bytes; sorted.
std::vector<std::pair<std::string, core::Bytes>> TreeFiles(const std::filesystem::path& root);

// Every entry under root and root itself, one line each, sorted: its relative path ("." for root),
// kind, permission bits, modification time in nanoseconds, a link's target, and a file's access
// time. (A folder's or link's access time moves whenever anything lists or reads it, this
// function included.) Two folders that give the same lines look the same to stat.
std::vector<std::string> TreeStats(const std::filesystem::path& root);

// The names of the entries of a folder, sorted (empty when it does not exist).
std::vector<std::string> EntryNames(const std::filesystem::path& folder);

// A small file system of its own (tmpfs) at a new folder under base, removed again at the end.
// Mounting needs root; Mounted() says whether it worked, so a test can skip where it cannot.
class ScratchMount {
 public:
  ScratchMount(const std::filesystem::path& base, std::size_t kibibytes);
  ~ScratchMount();
  ScratchMount(const ScratchMount&) = delete;
  ScratchMount& operator=(const ScratchMount&) = delete;

  bool Mounted() const { return mounted_; }
  const std::filesystem::path& path() const { return path_; }
  // Makes the whole file system read-only (or writable again).
  bool SetReadOnly(bool readOnly);

 private:
  std::filesystem::path path_;
  std::size_t kibibytes_;
  bool mounted_ = false;
};

}  // namespace kartwerk::testing

#include "pipeline/target_check.hpp"

#include <algorithm>
#include <limits>
#include <system_error>

#include "game/user_folders.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::pipeline {
namespace fs = std::filesystem;
namespace {

std::string Quoted(const fs::path& path) { return "\"" + platform::TextFromPath(path) + "\""; }

fs::path Resolved(const fs::path& path) { return platform::ResolvedPath(path); }

bool SameFolder(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) || (!ec && a == b);
}

// The root of a file system: nothing after the root ("/", "C:\\", "\\\\server\\share\\").
bool IsFileSystemRoot(const fs::path& folder) { return folder.relative_path().empty(); }

}  // namespace

std::string ProtectedFolderReason(const fs::path& target, const fs::path& mapPath) {
  const fs::path folder = Resolved(target);
  if (IsFileSystemRoot(folder)) return "it is the root of a file system";
  const fs::path home = game::HomeFolder();
  if (!home.empty() && SameFolder(folder, Resolved(home))) return "it is the home folder";
  if (mapPath.empty()) return {};
  for (fs::path above = Resolved(mapPath).parent_path();; above = above.parent_path()) {
    if (SameFolder(folder, above)) {
      return above == Resolved(mapPath).parent_path() ? "it is the folder that holds the map"
                                                      : "it is a folder above the map";
    }
    if (!above.has_relative_path()) break;
  }
  return {};
}

std::string TargetFolderProblem(const fs::path& target, const fs::path& mapPath) {
  const std::string reason = ProtectedFolderReason(target, mapPath);
  return reason.empty() ? reason : "refusing to convert into " + Quoted(Resolved(target)) + ": " + reason;
}

std::string FolderNameProblem(const std::string& name) {
  if (name.empty()) return "its name is empty";
  if (std::all_of(name.begin(), name.end(), [](char c) { return c == '.'; }))
    return "its name \"" + name + "\" is made only of dots, which name a folder and its parent";
  return {};
}

std::uint64_t AvailableBytesFor(const fs::path& path) {
  std::error_code ec;
  for (fs::path folder = Resolved(path);; folder = folder.parent_path()) {
    if (fs::exists(folder, ec)) {
      const fs::space_info space = fs::space(folder, ec);
      return ec ? std::numeric_limits<std::uint64_t>::max() : space.available;
    }
    if (!folder.has_relative_path()) return std::numeric_limits<std::uint64_t>::max();
  }
}

}  // namespace kartwerk::pipeline

#include "pipeline/out_folder_rule.hpp"

#include <algorithm>
#include <array>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/error_text.hpp"
#include "core/text.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::pipeline {
namespace fs = std::filesystem;
namespace {

constexpr std::array<std::string_view, 6> kMapFiles = {"desc", "info", "airfields", "objects", "rhombs", "cflags"};
constexpr std::array<std::string_view, 15> kMissionFiles = {
    "info",    "desc",   "jpg1024.jpg", "mines",  "locations", "phrases2", "objs",    "mismult",
    "misdesc", "groups", "support",     "sounds", "players",   "mapunits", "scripts2"};
constexpr std::size_t kNamedFiles = 3;  // how many foreign names the refusal shows

template <std::size_t N>
bool OneOf(const std::array<std::string_view, N>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), core::AsciiLower(name)) != names.end();
}

bool IsMissionFolderName(const std::string& name) {
  return name.size() == 7 && core::AsciiLower(name.substr(0, 4)) == "mis.";
}

// The entries of a folder that a slot does not hold, as paths relative to it ("notes.txt",
// "mis.000/extra", "photos/").
std::vector<std::string> ForeignEntries(const fs::path& folder) {
  std::vector<std::string> foreign;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = platform::TextFromPath(it->path().filename());
    const fs::file_status status = it->symlink_status(ec);
    if (fs::is_regular_file(status) && OneOf(kMapFiles, name)) continue;
    if (!fs::is_directory(status) || !IsMissionFolderName(name)) {
      foreign.push_back(fs::is_directory(status) ? name + "/" : name);
      continue;
    }
    for (fs::directory_iterator inner(it->path(), ec); !ec && inner != end; inner.increment(ec)) {
      const std::string file = platform::TextFromPath(inner->path().filename());
      if (!fs::is_regular_file(inner->symlink_status(ec)) || !OneOf(kMissionFiles, file)) {
        foreign.push_back(name + "/" + file);
      }
    }
  }
  if (ec) foreign.push_back("(" + core::ErrorText(ec) + ")");
  std::sort(foreign.begin(), foreign.end());
  return foreign;
}

}  // namespace

std::optional<std::string> OutFolderRefusal(const fs::path& folder, const BackupStore& store) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(folder, ec);
  if (!fs::exists(status)) return std::nullopt;
  if (!fs::is_directory(status)) return std::nullopt;  // the commit refuses what is not a folder
  if (fs::is_empty(folder, ec) && !ec) return std::nullopt;
  const std::vector<std::string> foreign = ForeignEntries(folder);
  if (foreign.empty()) return std::nullopt;
  const std::optional<platform::FolderListing> written = store.WrittenInto(folder);
  if (written && platform::ListFolder(folder) == written) return std::nullopt;

  std::string names;
  for (std::size_t i = 0; i < foreign.size() && i < kNamedFiles; ++i) names += (i ? ", " : "") + foreign[i];
  if (foreign.size() > kNamedFiles) names += " and " + std::to_string(foreign.size() - kNamedFiles) + " more";
  return "\"" + platform::TextFromPath(folder) + "\" holds files Kartwerk did not write (" + names +
         "); nothing was written or moved: choose a new or empty folder";
}

}  // namespace kartwerk::pipeline

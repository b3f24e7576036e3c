#include "pipeline/output_records.hpp"

#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

#include "pipeline/write_gate.hpp"
#include "platform/content_hash.hpp"
#include "platform/file_output.hpp"
#include "platform/folder_listing.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"
#include "platform/private_folder.hpp"
#include "platform/whole_file.hpp"

namespace kartwerk::pipeline {
namespace fs = std::filesystem;
namespace {

// "origin <path>" and what the place holds now; nothing for what Kartwerk never writes (a link,
// a device) or a path that a record line cannot hold.
std::optional<std::string> Content(const fs::path& place) {
  const std::string path = platform::TextFromPath(place);
  if (path.find_first_of("\r\n") != std::string::npos) return std::nullopt;
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(place, ec);
  if (fs::is_regular_file(status)) {
    const std::optional<std::string> digest = platform::FileDigest(place);
    const std::uintmax_t size = fs::file_size(place, ec);
    if (!digest || ec) return std::nullopt;
    return "origin " + path + "\nfile " + std::to_string(size) + " " + *digest + "\n";
  }
  if (fs::is_directory(status)) {
    const std::optional<platform::FolderListing> listing = platform::ListFolder(place);
    if (!listing) return std::nullopt;
    return "origin " + path + "\nfolder\n" + platform::ListingText(*listing);
  }
  return std::nullopt;
}

}  // namespace

OutputRecords::OutputRecords(fs::path folder) : folder_(std::move(folder)) {}

OutputRecords OutputRecords::Default() { return OutputRecords(KartwerkDataFolder() / "written-files"); }

fs::path OutputRecords::RecordPath(const fs::path& place) const {
  return folder_ / platform::ContentDigest(platform::TextFromPath(platform::FullPath(place)))
                       .substr(platform::kContentHashName.size() + 1);
}

bool OutputRecords::Holds(const fs::path& place) const {
  const fs::path full = platform::FullPath(place);
  const std::optional<std::string> now = Content(full);
  return now && platform::ReadFileText(RecordPath(full)) == now;
}

void OutputRecords::Record(const fs::path& place) const {
  const fs::path full = platform::FullPath(place);
  const std::optional<std::string> now = Content(full);
  if (!now) throw std::runtime_error("Cannot record what Kartwerk wrote into \"" + platform::TextFromPath(full) + "\"");
  platform::MakePrivateFolder(folder_);
  platform::WriteFileAtomic(RecordPath(full), *now);
}

}  // namespace kartwerk::pipeline

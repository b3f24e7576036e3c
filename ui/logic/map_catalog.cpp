#include "ui/logic/map_catalog.hpp"

#include <array>

#include "format/gzip_file.hpp"
#include "format/map_info.hpp"
#include "platform/path_lookup.hpp"

namespace kartwerk::logic {
namespace {

constexpr std::array<MapCategory, 3> kCategories = {{
    {format::SinglePlayerMap, "game\\maps\\single", "*.qdm", ".qdm"},
    {format::MultiplayerMap, "game\\maps\\mplay", "*.qdp", ".qdp"},
    {format::CampaignMap, "game\\maps\\campaign", "*.qdc", ".qdc"},
}};

constexpr std::size_t kCampaignMainNameLength = 7;
constexpr std::size_t kInformationSize = 12;

}  // namespace

const MapCategory& CategoryOf(format::MapKindCode kind) {
  for (const MapCategory& category : kCategories) {
    if (category.kind == kind) return category;
  }
  return kCategories.back();
}

std::filesystem::path CategoryFolder(const std::filesystem::path& gameFolder, const MapCategory& category) {
  return platform::JoinIgnoringCase(gameFolder, category.folder);
}

std::vector<std::string> CategoryRows(const std::filesystem::path& folder, const MapCategory& category) {
  std::vector<std::string> rows;
  for (const std::string& name : platform::FindFilesIgnoringCase(folder, category.pattern)) {
    if (category.kind == format::CampaignMap && name.size() != kCampaignMainNameLength) continue;
    if (name.size() < 4) continue;  // only a pattern of four characters or more can match anyway
    rows.push_back(name.substr(0, name.size() - 4));
  }
  return rows;
}

std::vector<std::string> CampaignFiles(const std::filesystem::path& folder, std::string_view caption) {
  return platform::FindFilesIgnoringCase(folder, std::string(caption.substr(0, 3)) + "*.qdc");
}

std::size_t MapInformationOffset(format::MapKindCode kind) { return kind == format::MultiplayerMap ? 56 : 24; }

format::MapInformation ReadMapHeaderInformation(const std::filesystem::path& file, format::MapKindCode kind) {
  return ReadMapHeader(file, kind).information;
}

MapHeader ReadMapHeader(const std::filesystem::path& file, format::MapKindCode kind) {
  const std::size_t offset = MapInformationOffset(kind);
  const core::Bytes head = format::InflatePrefix(file, offset + kInformationSize);
  std::array<std::uint8_t, kInformationSize> bytes{};
  for (std::size_t i = 0; i < bytes.size() && offset + i < head.size(); ++i) bytes[i] = head[offset + i];
  MapHeader header{format::ParseMapInformation(bytes), {}};
  if (head.size() < offset + kInformationSize) {
    header.problem = "the map ends after " + std::to_string(head.size()) + " bytes of content, before its information";
  }
  return header;
}

}  // namespace kartwerk::logic

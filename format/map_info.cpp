#include "format/map_info.hpp"

#include <array>

namespace kartwerk::format {

MapInformation ParseMapInformation(std::span<const std::uint8_t> bytes) {
  MapInformation info;
  info.TerrainScheme = core::U32At(bytes, 0);
  info.width = core::I32At(bytes, 4);
  info.height = core::I32At(bytes, 8);
  return info;
}

MapInformation ReadMapInformation(const Conversion& c) {
  const SectionEntry& entry = c.Entry(Section::MapInformation);
  std::array<std::uint8_t, 12> bytes{};
  c.MissionStream.PeekAt(entry.offset, bytes);
  return ParseMapInformation(bytes);
}

MissionRectangle ReadMissionRectangle(Conversion& c) {
  if (c.MapKind != CampaignMap) return {0, 0, c.MapInfoRecord.width, c.MapInfoRecord.height};
  c.Seek(Section::MissionInfoFirst);
  const core::Bytes rect = c.MissionStream.ReadRecord(16);
  return {core::I32At(rect, 0), core::I32At(rect, 4), core::I32At(rect, 8), core::I32At(rect, 12)};
}

std::string_view TerrainSchemeText(std::uint32_t scheme) {
  switch (scheme) {
    case 0: return "Normal";
    case 1: return "Beach";
    case 2: return "Island";
    default: return "Unknown";
  }
}

}  // namespace kartwerk::format

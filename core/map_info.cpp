#include "core/map_info.hpp"

#include <array>

namespace kartwerk {

MapInformation ParseMapInformation(std::span<const std::uint8_t> bytes) {
  MapInformation info;
  info.TerrainScheme = U32At(bytes, 0);
  info.width = I32At(bytes, 4);
  info.height = I32At(bytes, 8);
  return info;
}

MapInformation ReadMapInformation(const Conversion& c) {
  const sectionRec& entry = c.Entry(Section::MapInformation);
  std::array<std::uint8_t, 12> bytes{};
  c.MissionStream.PeekAt(entry.offset, bytes);
  return ParseMapInformation(bytes);
}

MissionRectangle ReadMissionRectangle(Conversion& c) {
  if (c.MapKind != CampaignMap) return {0, 0, c.MapInfoRecord.width, c.MapInfoRecord.height};
  c.Seek(Section::MissionInfoFirst);
  const Bytes rect = c.MissionStream.ReadRecord(16);
  return {I32At(rect, 0), I32At(rect, 4), I32At(rect, 8), I32At(rect, 12)};
}

std::string_view TerrainSchemeText(std::uint32_t scheme) {
  switch (scheme) {
    case 0: return "Normal";
    case 1: return "Beach";
    case 2: return "Island";
    default: return "Unknown";
  }
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  // The code page's letters at 0x80..0x9F (0 where it has none, shown as U+FFFD).
  static constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  for (unsigned char b : bytes) {
    char32_t cp = b;
    if (b >= 0x80 && b < 0xA0) cp = kHigh[b - 0x80] ? kHigh[b - 0x80] : 0xFFFD;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace kartwerk

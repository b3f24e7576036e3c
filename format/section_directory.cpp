#include "format/section_directory.hpp"

namespace kartwerk::format {
namespace {

struct PositionRow {
  Section section;
  std::uint8_t single, multi, campaign;
};

// Where each section lies, by map kind. For a campaign the first eight rows are
// positions in the main campaign file, the others in each mission file.
constexpr PositionRow kPositions[] = {
    {Section::MapInformation, 0, 1, 0},
    {Section::ObjectNames, 2, 3, 1},
    {Section::TerrainRhombs, 3, 4, 2},
    {Section::CellFlags4, 4, 5, 3},
    {Section::CellFlags1, 5, 6, 4},
    {Section::CellFlags2, 6, 7, 5},
    {Section::Airfields, 7, 8, 6},
    {Section::Objects, 8, 9, 7},
    {Section::MultiplayerSettings, kNoSection, 10, kNoSection},
    {Section::MissionInfoFirst, kNoSection, kNoSection, 0},
    {Section::MissionDescription, 9, 12, 1},
    {Section::UnitNames, 10, 13, 2},
    {Section::MapUnits, 11, 14, 4},
    {Section::SupportSecond, 12, 15, 11},
    {Section::Players, 13, 16, 5},
    {Section::Groups, 14, kNoSection, 3},
    {Section::Locations, 15, 17, 7},
    {Section::Mines, 16, 18, 9},
    {Section::Phrases, 17, 19, 12},
    {Section::SupportFirst, 18, 20, 10},
    {Section::MissionObjects, 19, 21, 13},
    {Section::Sounds, 20, 22, 6},
    {Section::Scripts, 21, 23, 8},
    {Section::MissionInfoSecond, 22, 24, 14},
    {Section::MissionPicture, 23, 25, 15},
};

bool IsPMini(const std::string& name) {
  return name == "P-MINI1" || name == "P-MINI2" || name == "P-MINI3" || name == "P-MINI4";
}

}  // namespace

const SectionEntry& SectionTable::operator[](std::size_t i) const {
  static const SectionEntry kEmpty{};
  return i < entries.size() ? entries[i] : kEmpty;
}

std::uint8_t SectionPosition(Section section, MapKindCode kind) {
  for (const PositionRow& row : kPositions) {
    if (row.section != section) continue;
    switch (kind) {
      case SinglePlayerMap: return row.single;
      case MultiplayerMap: return row.multi;
      default: return row.campaign;
    }
  }
  return kNoSection;
}

std::uint8_t ReadSectionDirectory(const core::ByteStream& stream, SectionTable& directory) {
  directory = SectionTable{};
  std::uint8_t pminis = 0;
  const auto bytes = stream.bytes();
  std::int64_t position = 8;
  while (directory.count < kMaxSections && position < stream.size()) {
    // An entry that ends inside its name or size field is not an entry.
    if (position < 0 || position + 16 > stream.size()) break;
    const auto field = bytes.subspan(static_cast<std::size_t>(position), 12);
    std::string text = core::FixedText(field);
    // The section name is the first word; a text without a space is the name itself.
    SectionEntry& entry = directory.entries[directory.count++];
    entry.name = text.substr(0, text.find(' '));
    entry.size = core::I32At(bytes, static_cast<std::size_t>(position + 12));
    entry.offset = static_cast<std::int32_t>(position + 16);
    if (IsPMini(entry.name)) ++pminis;
    position += 16 + static_cast<std::int64_t>(entry.size);
  }
  return pminis;
}

}  // namespace kartwerk::format

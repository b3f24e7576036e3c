// The section container of a decompressed map or mission file.
//
// A container is an 8-byte header followed by entries (12-byte name, 32-bit size,
// data) up to the end of the file. At most 37 entries are read. Converters find a
// section by its position for the current map kind, never by its name.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/byte_stream.hpp"
#include "format/map_kind.hpp"

namespace kartwerk::format {

struct SectionEntry {
  std::string name;
  std::int32_t size = 0;
  std::int32_t offset = 0;  // position of the first data byte in the stream
};

inline constexpr std::size_t kMaxSections = 37;
inline constexpr std::uint8_t kNoSection = 255;

struct SectionTable {
  std::array<SectionEntry, kMaxSections> entries{};
  std::size_t count = 0;  // entries read from the current container

  const SectionEntry& operator[](std::size_t i) const;  // an empty entry past the 37
};

// Every section a converter reads, in the order of the position table.
enum class Section : std::uint8_t {
  MapInformation,
  ObjectNames,
  TerrainRhombs,
  CellFlags4,  // 4-byte records
  CellFlags1,  // 1-byte records
  CellFlags2,  // 2-byte records
  Airfields,
  Objects,
  MultiplayerSettings,
  MissionInfoFirst,
  MissionDescription,
  UnitNames,
  MapUnits,
  SupportSecond,
  Players,
  Groups,
  Locations,
  Mines,
  Phrases,
  SupportFirst,
  MissionObjects,
  Sounds,
  Scripts,
  MissionInfoSecond,
  MissionPicture,
};

// Position of a section type in a container of the given map kind; kNoSection when that kind has none.
std::uint8_t SectionPosition(Section section, MapKindCode kind);

// Rebuilds the directory from stream (which holds the whole container) and returns the
// number of entries named "P-MINI1" to "P-MINI4". The directory is cleared first.
std::uint8_t ReadSectionDirectory(const core::ByteStream& stream, SectionTable& directory);

}  // namespace kartwerk::format

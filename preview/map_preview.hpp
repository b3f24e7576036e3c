// What a map's picture shows, read from the compiled map: each cell's terrain type, level and
// cliff mark, where the objects stand, and for each mission its rectangle and its units.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/conversion.hpp"
#include "format/map_kind.hpp"

namespace kartwerk::preview {

// A cell the terrain section does not reach (cut short, or a scheme without tile tables).
inline constexpr std::uint8_t kNoTerrain = 255;

// A map side beyond this cannot be addressed by the 16-bit positions of objects and units
// (32 units per cell); a larger size is a damaged header and is not drawn.
inline constexpr std::int32_t kMaxPreviewSide = 2048;

// A place on the map in position units (32 per cell), measured from the map's top-left corner.
struct MapPoint {
  std::int64_t x = 0;
  std::int64_t y = 0;
};

struct UnitMark {
  MapPoint at;
  std::uint8_t owner = 0;  // player number
};

struct MissionPreview {
  std::string name;   // the mission folder it converts into: "mis." and three characters
  std::string title;  // the mission's own title (Windows-1252), empty when it has none
  format::MissionRectangle rect;
  std::vector<UnitMark> units;
};

struct MapPreview {
  format::MapKindCode kind = format::SinglePlayerMap;
  format::MapInformation info;
  // width x height cells, row by row.
  std::vector<std::uint8_t> terrain;  // terrain type 0 to 7, or kNoTerrain
  std::vector<std::uint8_t> level;    // 0 to 31
  std::vector<std::uint8_t> cliffs;   // cliff marks 0 to 3
  std::vector<MapPoint> objects;      // every object but the cliffs, which show as their marks
  // One per mission: a single-player or multiplayer map has one, a campaign one per mission file.
  std::vector<MissionPreview> missions;

  std::int32_t width() const { return info.width; }
  std::int32_t height() const { return info.height; }
};

}  // namespace kartwerk::preview

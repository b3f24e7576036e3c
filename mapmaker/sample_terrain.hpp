// The ground of the sample maps: a height field of smooth noise shaped into the landscape each
// sample is named for (a river through farmland, islands in a sea, a coast), with shores along the
// water, hills, and flat plateaus whose edges carry cliffs. Its tile codes are plain tiles of
// the scheme's water, shore, grass and high-ground classes, so a map picture reads as a map.
#pragma once

#include <cstdint>
#include <vector>

namespace kartwerk::mapmaker {

enum class SampleGround : std::uint8_t { DeepWater, Water, Shore, Land, Hill, Plateau };

// Where the water lies.
enum class SampleLandscape : std::uint8_t {
  River,    // a river winds across the map from its top edge to its bottom edge
  Islands,  // land rises from a sea that surrounds it on every side
  Coast,    // the sea covers the map's left side
};

struct SampleCell {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct SampleTerrain {
  std::int32_t width = 0;
  std::int32_t height = 0;
  // width x height cells, row by row.
  std::vector<SampleGround> ground;
  std::vector<std::uint16_t> tileCode;
  std::vector<std::uint8_t> level;  // 0 (water) to 31
  // Plateau cells next to lower ground: where the cliff objects stand.
  std::vector<SampleCell> cliffEdges;

  SampleGround At(std::int32_t x, std::int32_t y) const;
  // Dry ground a unit or a house can stand on: shore, land or hill (not water, not a plateau).
  bool IsWalkable(std::int32_t x, std::int32_t y) const;
};

// The same seed, scheme, landscape and size always give the same terrain. Sizes of 0 or less
// give an empty terrain.
SampleTerrain MakeSampleTerrain(std::uint32_t seed, std::uint32_t scheme, SampleLandscape landscape, std::int32_t width,
                                std::int32_t height);

// The landscape of a scheme: "Normal" maps have a river, "Beach" maps a coast, "Island" maps islands.
SampleLandscape LandscapeOfScheme(std::uint32_t scheme);

}  // namespace kartwerk::mapmaker

// The colours of a map picture. Terrain types take eight colours that stay apart for readers
// with any common colour-vision deficiency (a muted qualitative palette); players take eight vivid
// ones of another such palette, and every unit dot gets a black rim so it stands out on any ground.
#pragma once

#include <cstdint>

#include "preview/picture.hpp"

namespace kartwerk::preview {

inline constexpr int kTerrainTypes = 8;
inline constexpr int kPlayerColours = 8;
inline constexpr std::uint8_t kHighestLevel = 31;  // the editor keeps five level bits

// The colour of terrain type 0 to 7 (other values wrap round).
Rgb TerrainColour(std::uint8_t terrainType);

// A cell's colour at its level: darker than the terrain's colour at level 0, lighter at level 31,
// evenly in between, so that hills read as light and valleys as dark.
Rgb ShadeForLevel(Rgb terrain, std::uint8_t level);

// A cell holding a cliff mark: the cell's colour darkened.
Rgb DarkenForCliff(Rgb cell);

// The dot colour of a unit owned by player number owner (the palette repeats every eight players).
Rgb PlayerColour(std::uint8_t owner);

inline constexpr Rgb kObjectMark{255, 255, 255};
inline constexpr Rgb kUnitRim{0, 0, 0};
// The mission rectangle is drawn in dashes of these two, visible on any ground.
inline constexpr Rgb kOutlineLight{255, 255, 255};
inline constexpr Rgb kOutlineDark{0, 0, 0};
// Cells the map's terrain section does not reach: a grey checker board, as for a missing picture.
inline constexpr Rgb kMissingLight{80, 80, 80};
inline constexpr Rgb kMissingDark{48, 48, 48};

}  // namespace kartwerk::preview

// The map's picture with what a comparison found drawn on top: changed cells outlined, units
// added, removed and moved marked in three shapes and colours told apart without colour vision,
// and a legend below the map.
#pragma once

#include <vector>

#include "compare/file_comparison.hpp"
#include "preview/map_preview.hpp"
#include "preview/picture.hpp"

namespace kartwerk::compare {

// The marks' colours (a palette chosen to stay distinct for every kind of colour blindness).
inline constexpr preview::Rgb kAddedMark{86, 180, 233};     // sky blue plus sign
inline constexpr preview::Rgb kRemovedMark{213, 94, 0};     // vermilion cross
inline constexpr preview::Rgb kMovedMark{0, 158, 115};      // bluish-green ring at the new place, a line from the old
inline constexpr preview::Rgb kChangedCells{240, 228, 66};  // yellow outline

// Height of the legend strip under the map, in pixels.
int ChangeLegendHeight();

// The missions whose files changed, in the map's order (their numbers, 1 = the first).
std::vector<int> ChangedMissions(const preview::MapPreview& map, const FolderComparison& comparison);

// The map at scale with the changes of comparison in mission number mission (1 = the first),
// its own grids and units alone; 0 draws the first mission whose files changed (else the first).
// Throws std::invalid_argument as RenderMapPicture does, and for a mission the map lacks.
preview::Picture RenderChangePicture(const preview::MapPreview& map, const FolderComparison& comparison, int scale,
                                     int mission = 0);

}  // namespace kartwerk::compare

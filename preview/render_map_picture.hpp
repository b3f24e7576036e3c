// Drawing a map's picture: top-down, each cell a square of scale x scale pixels coloured by its
// terrain type and shaded by its level, cliff marks darker, objects as small white marks; for a
// mission, its rectangle outlined in dashes (when it is not the whole map) and its units as dots
// in their player's colour.
#pragma once

#include <cstdint>
#include <string>

#include "preview/map_preview.hpp"
#include "preview/picture.hpp"

namespace kartwerk::preview {

// The longest side a picture may have, in pixels.
inline constexpr int kMaxPictureSide = 16384;
// The most pixels a picture may have: 8192 x 8192, about 200 MB of RGB in memory, and as much
// again while it is encoded. A larger scale of a large map is refused rather than exhausting memory.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{8192} * 8192;
// The longer side a picture aims at when no scale is given.
inline constexpr int kDefaultPictureSide = 512;

// The whole number of pixels per cell that brings the map's longer side closest to target
// pixels (at least 1).
// What a picture larger than the limits is refused with: "larger than ... pixels a side or ... in all".
std::string PictureLimitText();

int DefaultPreviewScale(std::int32_t width, std::int32_t height, int target = kDefaultPictureSide);

// Whether a map of this size can be drawn at scale within kMaxPictureSide and kMaxPicturePixels.
bool ScaleFits(std::int32_t width, std::int32_t height, int scale);

// The picture of the map at scale (1 or more); with a mission, its rectangle and units on top.
// Throws std::invalid_argument when the picture would exceed either limit.
Picture RenderMapPicture(const MapPreview& map, const MissionPreview* mission, int scale);

}  // namespace kartwerk::preview

#include "preview/render_map_picture.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "preview/preview_palette.hpp"

namespace kartwerk::preview {
namespace {

constexpr int kCellUnits = 32;          // position units per cell
constexpr int kMissingCheckerSide = 4;  // pixels
constexpr int kDashLength = 4;          // pixels, at least

int Pixel(std::int64_t units, int scale) { return static_cast<int>(units * scale / kCellUnits); }

// Every colour a cell can have, by terrain type, level and whether a cliff marks it: a million
// cells look up a few hundred colours.
class GroundColours {
 public:
  GroundColours() {
    for (int type = 0; type < kTerrainTypes; ++type) {
      for (int level = 0; level <= kHighestLevel; ++level) {
        const Rgb shaded =
            ShadeForLevel(TerrainColour(static_cast<std::uint8_t>(type)), static_cast<std::uint8_t>(level));
        colours_[Index(type, level, false)] = shaded;
        colours_[Index(type, level, true)] = DarkenForCliff(shaded);
      }
    }
  }
  Rgb Of(std::uint8_t type, std::uint8_t level, std::uint8_t cliff) const {
    return colours_[Index(type % kTerrainTypes, level & kHighestLevel, cliff != 0)];
  }

 private:
  static std::size_t Index(int type, int level, bool cliff) {
    return (static_cast<std::size_t>(type) * (kHighestLevel + 1) + static_cast<std::size_t>(level)) * 2 +
           (cliff ? 1 : 0);
  }
  std::array<Rgb, kTerrainTypes*(kHighestLevel + 1) * 2> colours_{};
};

Rgb MissingGround(int px, int py) {
  return ((px / kMissingCheckerSide + py / kMissingCheckerSide) % 2 == 0) ? kMissingLight : kMissingDark;
}

void DrawGround(Picture& picture, const MapPreview& map, int scale) {
  const GroundColours colours;
  for (std::int32_t y = 0; y < map.height(); ++y) {
    for (std::int32_t x = 0; x < map.width(); ++x) {
      const std::size_t cell =
          static_cast<std::size_t>(y) * static_cast<std::size_t>(map.width()) + static_cast<std::size_t>(x);
      if (map.terrain[cell] != kNoTerrain) {
        picture.FillRect(x * scale, y * scale, scale, scale,
                         colours.Of(map.terrain[cell], map.level[cell], map.cliffs[cell]));
        continue;
      }
      for (int py = y * scale; py < (y + 1) * scale; ++py) {
        for (int px = x * scale; px < (x + 1) * scale; ++px) picture.Set(px, py, MissingGround(px, py));
      }
    }
  }
}

// A square of side pixels centred on a map position.
void DrawSquare(Picture& picture, const MapPoint& at, int scale, int side, Rgb colour) {
  const int cx = Pixel(at.x, scale), cy = Pixel(at.y, scale);
  picture.FillRect(cx - side / 2, cy - side / 2, side, side, colour);
}

void DrawObjects(Picture& picture, const MapPreview& map, int scale) {
  const int side = std::max(1, scale / 3);
  for (const MapPoint& object : map.objects) DrawSquare(picture, object, scale, side, kObjectMark);
}

// The rectangle's border cells' outer edge, in dashes of light and dark along each side.
void DrawRectangle(Picture& picture, const format::MissionRectangle& rect, int scale) {
  const std::int64_t left = std::int64_t{rect.x0} * scale, top = std::int64_t{rect.y0} * scale;
  const std::int64_t right = left + std::int64_t{rect.width} * scale - 1;
  const std::int64_t bottom = top + std::int64_t{rect.height} * scale - 1;
  // A quarter of a cell thick, rounded, and dashes a cell long: as plain at every scale.
  const int thickness = std::max(1, (scale + 2) / 4);
  const int dashLength = std::max(kDashLength, scale);
  auto dash = [dashLength](std::int64_t along) { return (along / dashLength) % 2 == 0 ? kOutlineLight : kOutlineDark; };
  auto set = [&](std::int64_t x, std::int64_t y, Rgb colour) {
    if (x >= 0 && y >= 0 && x < picture.width() && y < picture.height()) {
      picture.Set(static_cast<int>(x), static_cast<int>(y), colour);
    }
  };
  const std::int64_t firstX = std::max<std::int64_t>(left, 0),
                     lastX = std::min<std::int64_t>(right, picture.width() - 1);
  const std::int64_t firstY = std::max<std::int64_t>(top, 0),
                     lastY = std::min<std::int64_t>(bottom, picture.height() - 1);
  for (int t = 0; t < thickness; ++t) {
    for (std::int64_t x = firstX; x <= lastX; ++x) {
      set(x, top + t, dash(x - left));
      set(x, bottom - t, dash(x - left));
    }
    for (std::int64_t y = firstY; y <= lastY; ++y) {
      set(left + t, y, dash(y - top));
      set(right - t, y, dash(y - top));
    }
  }
}

void DrawUnits(Picture& picture, const MissionPreview& mission, int scale) {
  const int side = std::max(3, scale);
  for (const UnitMark& unit : mission.units) {
    DrawSquare(picture, unit.at, scale, side + 2, kUnitRim);
    DrawSquare(picture, unit.at, scale, side, PlayerColour(unit.owner));
  }
}

bool CoversWholeMap(const format::MissionRectangle& rect, const MapPreview& map) {
  return rect.x0 <= 0 && rect.y0 <= 0 && std::int64_t{rect.x0} + rect.width >= map.width() &&
         std::int64_t{rect.y0} + rect.height >= map.height();
}

}  // namespace

int DefaultPreviewScale(std::int32_t width, std::int32_t height, int target) {
  const std::int32_t longer = std::max(width, height);
  if (longer <= 0) return 1;
  // Rounded to the nearest whole scale.
  return std::max(1, static_cast<int>((target + longer / 2) / longer));
}

bool ScaleFits(std::int32_t width, std::int32_t height, int scale) {
  if (scale < 1 || std::int64_t{std::max(width, height)} * scale > kMaxPictureSide) return false;
  return std::int64_t{width} * scale * (std::int64_t{height} * scale) <= kMaxPicturePixels;
}

std::string PictureLimitText() {
  return "larger than " + std::to_string(kMaxPictureSide) + " pixels a side or " + std::to_string(kMaxPicturePixels) +
         " pixels in all";
}

Picture RenderMapPicture(const MapPreview& map, const MissionPreview* mission, int scale) {
  if (!ScaleFits(map.width(), map.height(), scale)) {
    throw std::invalid_argument("a picture of " + std::to_string(map.width()) + "x" + std::to_string(map.height()) +
                                " cells at scale " + std::to_string(scale) + " would be " + PictureLimitText());
  }
  Picture picture(map.width() * scale, map.height() * scale);
  DrawGround(picture, map, scale);
  DrawObjects(picture, map, scale);
  if (mission) {
    if (!CoversWholeMap(mission->rect, map)) DrawRectangle(picture, mission->rect, scale);
    DrawUnits(picture, *mission, scale);
  }
  return picture;
}

}  // namespace kartwerk::preview

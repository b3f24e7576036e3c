#include "preview/preview_palette.hpp"

#include <array>

namespace kartwerk::preview {
namespace {

// Sand, purple, olive, teal, green, rose, cyan, indigo.
constexpr std::array<Rgb, kTerrainTypes> kTerrain{{{221, 204, 119},
                                                   {170, 68, 153},
                                                   {153, 153, 51},
                                                   {68, 170, 153},
                                                   {17, 119, 51},
                                                   {204, 102, 119},
                                                   {136, 204, 238},
                                                   {51, 34, 136}}};

// Vermillion, blue, yellow, bluish green, reddish purple, sky blue, orange, white.
constexpr std::array<Rgb, kPlayerColours> kPlayers{{{213, 94, 0},
                                                    {0, 114, 178},
                                                    {240, 228, 66},
                                                    {0, 158, 115},
                                                    {204, 121, 167},
                                                    {86, 180, 233},
                                                    {230, 159, 0},
                                                    {255, 255, 255}}};

std::uint8_t ShadeChannel(int base, int level) {
  const int low = base * 3 / 4;
  const int high = base + (255 - base) * 7 / 20;
  return static_cast<std::uint8_t>(low + (high - low) * level / kHighestLevel);
}

}  // namespace

Rgb TerrainColour(std::uint8_t terrainType) { return kTerrain[terrainType % kTerrainTypes]; }

Rgb ShadeForLevel(Rgb terrain, std::uint8_t level) {
  const int l = level > kHighestLevel ? kHighestLevel : level;
  return {ShadeChannel(terrain.r, l), ShadeChannel(terrain.g, l), ShadeChannel(terrain.b, l)};
}

Rgb DarkenForCliff(Rgb cell) {
  return {static_cast<std::uint8_t>(cell.r * 3 / 5), static_cast<std::uint8_t>(cell.g * 3 / 5),
          static_cast<std::uint8_t>(cell.b * 3 / 5)};
}

Rgb PlayerColour(std::uint8_t owner) { return kPlayers[owner % kPlayerColours]; }

}  // namespace kartwerk::preview

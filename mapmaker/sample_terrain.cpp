#include "mapmaker/sample_terrain.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

namespace kartwerk::mapmaker {
namespace {

// A well-mixed 32-bit hash (the finaliser of MurmurHash3): the noise depends on nothing but the
// seed and the lattice point, on every platform and standard library.
std::uint32_t Mix(std::uint32_t h) {
  h ^= h >> 16;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  h *= 0xC2B2AE35u;
  h ^= h >> 16;
  return h;
}

// A value in [0, 1) at an integer lattice point.
double LatticeValue(std::uint32_t seed, std::int32_t x, std::int32_t y) {
  const std::uint32_t h =
      Mix(seed ^ Mix(static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ Mix(static_cast<std::uint32_t>(y) + 0x7F4A7C15u)));
  return static_cast<double>(h >> 8) / static_cast<double>(1u << 24);
}

double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }

// Value noise: lattice values every `spacing` cells, blended smoothly in between.
double ValueNoise(std::uint32_t seed, double x, double y, double spacing) {
  const double gx = x / spacing, gy = y / spacing;
  const auto x0 = static_cast<std::int32_t>(std::floor(gx)), y0 = static_cast<std::int32_t>(std::floor(gy));
  const double tx = Smooth(gx - x0), ty = Smooth(gy - y0);
  const double top = LatticeValue(seed, x0, y0) * (1 - tx) + LatticeValue(seed, x0 + 1, y0) * tx;
  const double bottom = LatticeValue(seed, x0, y0 + 1) * (1 - tx) + LatticeValue(seed, x0 + 1, y0 + 1) * tx;
  return top * (1 - ty) + bottom * ty;
}

// Three octaves, large features first, in [0, 1).
double Relief(std::uint32_t seed, double x, double y) {
  return (ValueNoise(seed, x, y, 12.0) * 4 + ValueNoise(seed + 1, x, y, 6.0) * 2 + ValueNoise(seed + 2, x, y, 3.0)) /
         7.0;
}

// How far below the relief the landscape pushes a cell: 1 at the river's or sea's heart, 0 inland.
double WaterPull(SampleLandscape landscape, std::uint32_t seed, double x, double y, double w, double h) {
  switch (landscape) {
    case SampleLandscape::River: {
      // The river's course swings left and right as it runs down the map.
      const double course = w * (0.3 + 0.4 * ValueNoise(seed + 7, 0, y, 10.0));
      const double distance = std::abs(x - course);
      return std::clamp(1.0 - (distance - 1.0) / 2.5, 0.0, 1.0);
    }
    case SampleLandscape::Islands: {
      const double dx = (x + 0.5) / w * 2 - 1, dy = (y + 0.5) / h * 2 - 1;
      return std::clamp((std::sqrt(dx * dx + dy * dy) - 0.55) / 0.4, 0.0, 1.0);
    }
    case SampleLandscape::Coast: {
      const double shoreline = w * (0.22 + 0.16 * ValueNoise(seed + 9, 0, y, 8.0));
      return std::clamp((shoreline - x) / 5.0 + 0.5, 0.0, 1.0);
    }
  }
  return 0;
}

constexpr double kSeaLevel = 0.38;
constexpr double kDeepLevel = 0.2;
constexpr double kShoreBand = 0.07;
constexpr double kHillLevel = 0.62;
constexpr double kPlateauLevel = 0.74;
constexpr std::uint8_t kPlateauHeight = 24;
constexpr int kSteepestStep = 3;

// Plain tile codes per ground: first code and count of a run of plain tiles of one class.
struct PlainRun {
  std::uint16_t first;
  std::uint16_t count;
};
using GroundTiles = std::array<PlainRun, 6>;  // indexed by SampleGround

// "Normal": deep water (class 7), water (6), sand (0), grass (4), and olive high ground (2).
constexpr GroundTiles kNormalTiles{{{291, 15}, {245, 10}, {0, 13}, {128, 9}, {13, 13}, {13, 13}}};
// "Beach" and "Island" have no high-ground class: hills and plateaus are grass, lighter by level.
constexpr GroundTiles kBeachIslandTiles{{{127, 16}, {74, 5}, {0, 16}, {16, 10}, {16, 10}, {16, 10}}};

// Neighbouring cells of one ground take different plain tiles of its class, as painted maps do.
std::uint16_t PlainTile(const PlainRun& run, std::uint32_t seed, std::size_t cell) {
  return static_cast<std::uint16_t>(run.first + Mix(seed ^ static_cast<std::uint32_t>(cell)) % run.count);
}

SampleGround GroundOf(double height) {
  if (height < kDeepLevel) return SampleGround::DeepWater;
  if (height < kSeaLevel) return SampleGround::Water;
  if (height < kSeaLevel + kShoreBand) return SampleGround::Shore;
  if (height < kHillLevel) return SampleGround::Land;
  if (height < kPlateauLevel) return SampleGround::Hill;
  return SampleGround::Plateau;
}

// Levels rise with the height above the sea; a plateau is flat, well above the hills around it.
std::uint8_t LevelOf(SampleGround ground, double height) {
  if (ground == SampleGround::DeepWater || ground == SampleGround::Water) return 0;
  if (ground == SampleGround::Plateau) return kPlateauHeight;
  const double above = (height - kSeaLevel) / (kPlateauLevel - kSeaLevel);
  return static_cast<std::uint8_t>(std::clamp(1.0 + above * 16.0, 1.0, 17.0));
}

// Lowers levels until no two neighbouring cells off the plateaus differ by more than
// kSteepestStep, so slopes down to the water stay walkable; only a plateau's edge is a cliff.
void LimitSlopes(SampleTerrain& t) {
  bool changed = true;
  while (changed) {
    changed = false;
    for (std::int32_t y = 0; y < t.height; ++y) {
      for (std::int32_t x = 0; x < t.width; ++x) {
        if (t.At(x, y) == SampleGround::Plateau) continue;
        std::uint8_t& level = t.level[static_cast<std::size_t>(y) * static_cast<std::size_t>(t.width) + x];
        const std::pair<std::int32_t, std::int32_t> neighbours[] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto& [nx, ny] : neighbours) {
          if (nx < 0 || ny < 0 || nx >= t.width || ny >= t.height || t.At(nx, ny) == SampleGround::Plateau) continue;
          const int limit =
              t.level[static_cast<std::size_t>(ny) * static_cast<std::size_t>(t.width) + nx] + kSteepestStep;
          if (level > limit) {
            level = static_cast<std::uint8_t>(limit);
            changed = true;
          }
        }
      }
    }
  }
}

}  // namespace

SampleGround SampleTerrain::At(std::int32_t x, std::int32_t y) const {
  return ground[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
}

bool SampleTerrain::IsWalkable(std::int32_t x, std::int32_t y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return false;
  const SampleGround g = At(x, y);
  return g == SampleGround::Shore || g == SampleGround::Land || g == SampleGround::Hill;
}

SampleLandscape LandscapeOfScheme(std::uint32_t scheme) {
  if (scheme == 1) return SampleLandscape::Coast;
  if (scheme == 2) return SampleLandscape::Islands;
  return SampleLandscape::River;
}

SampleTerrain MakeSampleTerrain(std::uint32_t seed, std::uint32_t scheme, SampleLandscape landscape, std::int32_t width,
                                std::int32_t height) {
  SampleTerrain t;
  if (width <= 0 || height <= 0) return t;
  t.width = width;
  t.height = height;
  const std::size_t cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  t.ground.resize(cells);
  t.tileCode.resize(cells);
  t.level.resize(cells);
  const GroundTiles& tiles = scheme == 0 ? kNormalTiles : kBeachIslandTiles;
  const std::uint32_t noiseSeed = Mix(seed * 0x2545F491u + scheme);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const double pull = WaterPull(landscape, noiseSeed, x, y, width, height);
      // Inland the relief lifts toward hills and plateaus; near water it sinks below the sea.
      const double h = (0.12 + Relief(noiseSeed, x, y) * 0.85) * (1.0 - pull);
      const std::size_t cell = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x;
      const SampleGround g = GroundOf(h);
      const PlainRun run = tiles[static_cast<std::size_t>(g)];
      t.ground[cell] = g;
      t.level[cell] = LevelOf(g, h);
      t.tileCode[cell] = PlainTile(run, noiseSeed, cell);
    }
  }
  // Water meets dry ground only across a shore: where a slope falls steeply into the water, the
  // cell beside it becomes beach at the lowest dry level.
  const PlainRun shore = tiles[static_cast<std::size_t>(SampleGround::Shore)];
  auto isWater = [&t](std::int32_t x, std::int32_t y) {
    const SampleGround g = t.At(x, y);
    return g == SampleGround::Water || g == SampleGround::DeepWater;
  };
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const std::size_t cell = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x;
      const SampleGround g = t.ground[cell];
      if (g == SampleGround::Shore || isWater(x, y)) continue;
      const bool byWater = (x > 0 && isWater(x - 1, y)) || (y > 0 && isWater(x, y - 1)) ||
                           (x + 1 < width && isWater(x + 1, y)) || (y + 1 < height && isWater(x, y + 1));
      if (!byWater) continue;
      t.ground[cell] = SampleGround::Shore;
      t.level[cell] = 1;
      t.tileCode[cell] = PlainTile(shore, noiseSeed, cell);
    }
  }
  LimitSlopes(t);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      if (t.At(x, y) != SampleGround::Plateau) continue;
      const bool edge = (x > 0 && t.At(x - 1, y) != SampleGround::Plateau) ||
                        (y > 0 && t.At(x, y - 1) != SampleGround::Plateau) ||
                        (x + 1 < width && t.At(x + 1, y) != SampleGround::Plateau) ||
                        (y + 1 < height && t.At(x, y + 1) != SampleGround::Plateau);
      if (edge) t.cliffEdges.push_back({x, y});
    }
  }
  return t;
}

}  // namespace kartwerk::mapmaker

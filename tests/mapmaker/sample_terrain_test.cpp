// The sample maps' ground: smooth noise shaped into rivers, islands and coasts, with shores between
// water and land and cliffs on the plateaus' edges; read back through the map picture's reader, the
// bundled samples show water, shore and land, and units standing in clusters on dry ground.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "mapmaker/sample_terrain.hpp"
#include "preview/read_map_preview.hpp"

namespace kartwerk::testing {
namespace {

bool IsWater(mapmaker::SampleGround g) {
  return g == mapmaker::SampleGround::Water || g == mapmaker::SampleGround::DeepWater;
}

double Share(const mapmaker::SampleTerrain& t, bool (*test)(mapmaker::SampleGround)) {
  const auto n = std::count_if(t.ground.begin(), t.ground.end(), test);
  return static_cast<double>(n) / static_cast<double>(t.ground.size());
}

struct Case {
  std::uint32_t seed;
  std::uint32_t scheme;
  std::int32_t width;
  std::int32_t height;
};
// The bundled samples' sizes and a few more seeds.
const Case kCases[] = {{1, 0, 32, 24}, {2, 2, 40, 40}, {3, 1, 48, 32}, {4, 0, 64, 64}, {5, 1, 20, 60}, {6, 2, 33, 17}};

TEST(SampleTerrain, SameInputsSameGroundOtherSeedsOtherGround) {
  const mapmaker::SampleTerrain a = mapmaker::MakeSampleTerrain(1, 0, mapmaker::SampleLandscape::River, 32, 24);
  const mapmaker::SampleTerrain b = mapmaker::MakeSampleTerrain(1, 0, mapmaker::SampleLandscape::River, 32, 24);
  const mapmaker::SampleTerrain c = mapmaker::MakeSampleTerrain(9, 0, mapmaker::SampleLandscape::River, 32, 24);
  EXPECT_EQ(a.tileCode, b.tileCode);
  EXPECT_EQ(a.level, b.level);
  EXPECT_NE(a.tileCode, c.tileCode);
  EXPECT_TRUE(mapmaker::MakeSampleTerrain(1, 0, mapmaker::SampleLandscape::River, 0, 24).ground.empty());
  EXPECT_TRUE(mapmaker::MakeSampleTerrain(1, 0, mapmaker::SampleLandscape::River, 32, -3).tileCode.empty());
}

TEST(SampleTerrain, EveryMapHasWaterShoreAndMostlyLand) {
  for (const Case& c : kCases) {
    const mapmaker::SampleTerrain t =
        mapmaker::MakeSampleTerrain(c.seed, c.scheme, mapmaker::LandscapeOfScheme(c.scheme), c.width, c.height);
    SCOPED_TRACE("seed " + std::to_string(c.seed));
    ASSERT_EQ(t.ground.size(), static_cast<std::size_t>(c.width * c.height));
    EXPECT_GT(Share(t, IsWater), 0.05);
    EXPECT_LT(Share(t, IsWater), 0.8);
    EXPECT_GT(Share(t, [](mapmaker::SampleGround g) { return g == mapmaker::SampleGround::Shore; }), 0.02);
    EXPECT_GT(Share(t,
                    [](mapmaker::SampleGround g) {
                      return g == mapmaker::SampleGround::Land || g == mapmaker::SampleGround::Hill;
                    }),
              0.15);
  }
}

// Water and dry ground meet only across a shore; levels change gently except up a plateau's cliff.
TEST(SampleTerrain, ShoresSeparateWaterFromLandAndSlopesAreGentle) {
  for (const Case& c : kCases) {
    const mapmaker::SampleTerrain t =
        mapmaker::MakeSampleTerrain(c.seed, c.scheme, mapmaker::LandscapeOfScheme(c.scheme), c.width, c.height);
    SCOPED_TRACE("seed " + std::to_string(c.seed));
    for (std::int32_t y = 0; y < t.height; ++y) {
      for (std::int32_t x = 0; x + 1 < t.width; ++x) {
        for (const auto& [nx, ny] : {std::pair{x + 1, y}, std::pair{x, std::min(y + 1, t.height - 1)}}) {
          const mapmaker::SampleGround a = t.At(x, y), b = t.At(nx, ny);
          const bool dryA = !IsWater(a) && a != mapmaker::SampleGround::Shore,
                     dryB = !IsWater(b) && b != mapmaker::SampleGround::Shore;
          EXPECT_FALSE((IsWater(a) && dryB) || (IsWater(b) && dryA)) << "water beside dry land at " << x << "," << y;
          const int la = t.level[static_cast<std::size_t>(y * t.width + x)];
          const int lb = t.level[static_cast<std::size_t>(ny * t.width + nx)];
          const bool cliff = (a == mapmaker::SampleGround::Plateau) != (b == mapmaker::SampleGround::Plateau);
          if (!cliff) {
            EXPECT_LE(std::abs(la - lb), 3) << "a steep step at " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(SampleTerrain, LandscapesPutTheWaterWhereTheirNameSays) {
  const mapmaker::SampleTerrain islands = mapmaker::MakeSampleTerrain(2, 2, mapmaker::SampleLandscape::Islands, 40, 40);
  for (std::int32_t i = 0; i < 40; ++i) {
    EXPECT_TRUE(IsWater(islands.At(i, 0)) && IsWater(islands.At(0, i)) && IsWater(islands.At(i, 39)) &&
                IsWater(islands.At(39, i)))
        << "the sea's edge at " << i;
  }
  EXPECT_TRUE(islands.IsWalkable(20, 20) || islands.At(20, 20) == mapmaker::SampleGround::Plateau);

  const mapmaker::SampleTerrain river = mapmaker::MakeSampleTerrain(1, 0, mapmaker::SampleLandscape::River, 32, 24);
  for (std::int32_t y = 0; y < 24; ++y) {
    bool water = false;
    for (std::int32_t x = 0; x < 32; ++x) water = water || IsWater(river.At(x, y));
    EXPECT_TRUE(water) << "the river misses row " << y;
  }

  // The sea along the whole west edge; inland, east, only a lake here and there.
  const mapmaker::SampleTerrain coast = mapmaker::MakeSampleTerrain(3, 1, mapmaker::SampleLandscape::Coast, 48, 32);
  int dryEast = 0;
  for (std::int32_t y = 0; y < 32; ++y) {
    EXPECT_TRUE(IsWater(coast.At(0, y))) << "the sea misses row " << y;
    dryEast += IsWater(coast.At(47, y)) ? 0 : 1;
  }
  EXPECT_GT(dryEast, 16);
}

TEST(SampleTerrain, CliffsStandOnPlateauEdges) {
  const mapmaker::SampleTerrain t = mapmaker::MakeSampleTerrain(4, 0, mapmaker::SampleLandscape::River, 64, 64);
  ASSERT_FALSE(t.cliffEdges.empty());
  for (const mapmaker::SampleCell& c : t.cliffEdges) {
    ASSERT_EQ(t.At(c.x, c.y), mapmaker::SampleGround::Plateau);
    const bool lowerBeside = (c.x > 0 && t.At(c.x - 1, c.y) != mapmaker::SampleGround::Plateau) ||
                             (c.y > 0 && t.At(c.x, c.y - 1) != mapmaker::SampleGround::Plateau) ||
                             (c.x + 1 < t.width && t.At(c.x + 1, c.y) != mapmaker::SampleGround::Plateau) ||
                             (c.y + 1 < t.height && t.At(c.x, c.y + 1) != mapmaker::SampleGround::Plateau);
    EXPECT_TRUE(lowerBeside) << c.x << "," << c.y;
  }
}

// The bundled samples as the picture reader sees them: the scheme's tables turn the tile codes
// into the terrain types the picture colours as water (6, 7), shore (0) and grass (4).
TEST(SampleMaps, PicturesShowWaterShoreLandAndClusteredUnitsOnDryGround) {
  mapmaker::ScratchFolder dir;
  const auto maps = mapmaker::WriteSampleMaps(dir.path());
  ASSERT_EQ(maps.size(), 3u);
  for (const auto& path : maps) {
    SCOPED_TRACE(path.filename().string());
    const preview::MapPreview map = preview::LoadMapPreview(path, nullptr);
    std::map<int, int> types;
    for (std::uint8_t type : map.terrain) ++types[type];
    EXPECT_EQ(types.count(preview::kNoTerrain), 0u);
    EXPECT_GT(types[6] + types[7], static_cast<int>(map.terrain.size()) / 20) << "water";
    EXPECT_GT(types[0], 0) << "shore";
    EXPECT_GT(types[4] + types[2], static_cast<int>(map.terrain.size()) / 8) << "land";
    ASSERT_FALSE(map.missions.empty());
    for (const preview::MissionPreview& mission : map.missions) {
      ASSERT_GE(mission.units.size(), 8u);
      for (const preview::UnitMark& unit : mission.units) {
        const std::int64_t x = unit.at.x / 32, y = unit.at.y / 32;
        ASSERT_TRUE(x >= 0 && y >= 0 && x < map.width() && y < map.height());
        const std::uint8_t type = map.terrain[static_cast<std::size_t>(y * map.width() + x)];
        EXPECT_NE(type, 6) << "a unit in the water at " << x << "," << y;
        EXPECT_NE(type, 7) << "a unit in the water at " << x << "," << y;
        // Another unit of the same player stands within a few cells: the units come in clusters.
        const bool company =
            std::any_of(mission.units.begin(), mission.units.end(), [&](const preview::UnitMark& other) {
              return &other != &unit && other.owner == unit.owner && std::abs(other.at.x - unit.at.x) <= 5 * 32 &&
                     std::abs(other.at.y - unit.at.y) <= 5 * 32;
            });
        EXPECT_TRUE(company) << "a unit alone at " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace kartwerk::testing

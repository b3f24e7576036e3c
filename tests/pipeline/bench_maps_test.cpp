// The benchmark maps must be maps a conversion takes whole: every file written, at the sizes the
// options ask for, and without a repair (a warning would mean the benchmark times repair work).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mapmaker/bench_maps.hpp"
#include "mapmaker/map_builder.hpp"
#include "pipeline/run_conversion.hpp"

namespace kartwerk {
namespace {

using mapmaker::BenchMapOptions;
using mapmaker::BenchMapPreset;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

std::string Text(const std::filesystem::path& path) {
  const core::Bytes bytes = mapmaker::ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

struct Converted {
  pipeline::ConversionEnd end;
  std::vector<std::string> warnings;
};

Converted Convert(const std::filesystem::path& map, const std::filesystem::path& slot) {
  Converted result;
  pipeline::ConvertRequest request;
  request.mapPath = map;
  request.slotFolder = slot;
  request.cliffDataFile = std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata";
  request.warn = [&result](const std::string& message) { result.warnings.push_back(message); };
  result.end = pipeline::RunConversion(request);
  return result;
}

void ExpectMissionFiles(const std::filesystem::path& mission, const mapmaker::BenchMapOptions& o) {
  for (const char* file : {"info", "desc", "JPG1024.jpg", "mines", "locations", "phrases2", "objs", "mismult",
                           "misdesc", "groups", "support", "sounds", "players", "mapunits", "scripts2"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(mission / file)) << mission / file;
  }
  EXPECT_EQ(std::filesystem::file_size(mission / "mines"), 512u * 512u);
  // Only a unit's own line names its owner; its crew lines follow it.
  const std::string units = Text(mission / "mapunits");
  EXPECT_EQ(Count(units, "Owner="), static_cast<std::size_t>(o.units));
  EXPECT_EQ(Count(Text(mission / "scripts2"), "script \""), static_cast<std::size_t>(o.scripts));
  EXPECT_EQ(Count(Text(mission / "sounds"), "Name=\""), static_cast<std::size_t>(o.sounds));
}

class BenchMapKindTest : public ::testing::TestWithParam<format::MapKindCode> {};

TEST_P(BenchMapKindTest, ConvertsWholeWithoutRepairsAtTheSizesAskedFor) {
  mapmaker::BenchMapOptions o;
  o.kind = GetParam();
  o.width = 96;
  o.height = 80;
  o.objects = 150;
  o.units = 40;
  o.scripts = 7;
  o.statementsPerScript = 9;
  o.sounds = 5;
  o.missions = 3;
  o.missionSide = 64;
  const mapmaker::BenchMapPreset preset{o.kind == format::CampaignMap ? "903" : "bench", o};
  mapmaker::ScratchFolder dir;
  const auto map = mapmaker::WriteBenchMap(dir / "maps", preset);
  const Converted result = Convert(map, dir / "slot");
  ASSERT_TRUE(result.end.Completed()) << result.end.FailureText();
  EXPECT_TRUE(result.warnings.empty()) << result.warnings.front();

  const auto slot = dir / "slot";
  EXPECT_EQ(std::filesystem::file_size(slot / "rhombs"), 8u * 96 * 80);
  EXPECT_EQ(std::filesystem::file_size(slot / "cflags"), 2u * 96 * 80);
  EXPECT_EQ(Count(Text(slot / "objects"), "\n"), 150u);
  if (o.kind == format::CampaignMap) {
    for (const char* mission : {"mis.000", "mis.001", "mis.002"}) ExpectMissionFiles(slot / mission, o);
    EXPECT_FALSE(std::filesystem::exists(slot / "mis.003"));
  } else {
    ExpectMissionFiles(slot / "mis.000", o);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, BenchMapKindTest,
                         ::testing::Values(format::SinglePlayerMap, format::MultiplayerMap, format::CampaignMap));

TEST(BenchMapPresetsTest, RunFromSmallToTheLargestTheFormatHolds) {
  const std::vector<mapmaker::BenchMapPreset> presets = mapmaker::BenchMapPresets();
  ASSERT_GE(presets.size(), 3u);
  for (std::size_t i = 1; i < presets.size(); ++i) {
    const auto cells = [](const mapmaker::BenchMapOptions& o) { return std::int64_t{o.width} * o.height; };
    EXPECT_LT(cells(presets[i - 1].options), cells(presets[i].options)) << presets[i].name;
  }
  const mapmaker::BenchMapOptions& largest = presets.back().options;
  EXPECT_EQ(largest.width, 1024);
  EXPECT_EQ(largest.height, 1024);
  EXPECT_EQ(largest.kind, format::CampaignMap);
  EXPECT_EQ(largest.missionSide, 512);
  EXPECT_GE(largest.objects, 10000);
  EXPECT_GE(largest.units, 1000);
  EXPECT_GE(largest.scripts * largest.statementsPerScript, 1000);
  EXPECT_EQ(mapmaker::FindBenchMapPreset(presets.front().name).name, presets.front().name);
  EXPECT_THROW(mapmaker::FindBenchMapPreset("no such map"), std::invalid_argument);
}

TEST(BenchMapPresetsTest, TheSmallestPresetConvertsLikeAnyMap) {
  mapmaker::ScratchFolder dir;
  const mapmaker::BenchMapPreset preset = mapmaker::BenchMapPresets().front();
  const Converted result = Convert(mapmaker::WriteBenchMap(dir / "maps", preset), dir / "slot");
  ASSERT_TRUE(result.end.Completed()) << result.end.FailureText();
  EXPECT_TRUE(result.warnings.empty());
  const mapmaker::BenchMapOptions& o = preset.options;
  EXPECT_EQ(std::filesystem::file_size(dir / "slot" / "rhombs"),
            8u * static_cast<std::uintmax_t>(o.width) * static_cast<std::uintmax_t>(o.height));
}

}  // namespace
}  // namespace kartwerk

#include "tests/support/sample_maps.hpp"

#include <random>

#include "tests/support/map_builder.hpp"

namespace kartwerk::testing {
namespace {

Bytes RandomBytes(std::mt19937& rng, std::size_t count) {
  Bytes out(count);
  for (auto& b : out) b = static_cast<std::uint8_t>(rng());
  return out;
}

void FillMapSections(MapBuilder& map, std::mt19937& rng, const SampleOptions& o) {
  const std::size_t cells = static_cast<std::size_t>(o.width) * static_cast<std::size_t>(o.height);
  map.MapInfo(o.scheme, o.width, o.height);
  map.Set(Section::TerrainRhombs, RandomBytes(rng, cells * 4));
  map.Set(Section::CellFlags4, RandomBytes(rng, cells * 4));
  map.Set(Section::CellFlags1, RandomBytes(rng, cells));
  map.Set(Section::CellFlags2, RandomBytes(rng, cells * 2));
  map.Set(Section::Airfields, RandomBytes(rng, 24));
}

}  // namespace

Bytes SampleMainContainer(MapKindCode kind, const SampleOptions& options) {
  std::mt19937 rng(options.seed);
  MapBuilder map(kind);
  FillMapSections(map, rng, options);
  return map.Build();
}

Bytes SampleMissionContainer(const SampleOptions& options, std::uint32_t missionNumber) {
  std::mt19937 rng(options.seed * 7919u + missionNumber);
  MapBuilder mission(CampaignMap, MapBuilder::File::CampaignMission);
  mission.Set(Section::MissionInfoFirst, Le().I32(0).I32(0).I32(options.width).I32(options.height));
  return mission.Build();
}

std::vector<std::filesystem::path> WriteSampleMaps(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  const std::uint32_t mtime = 1262304000;  // 2010-01-01
  std::vector<std::filesystem::path> maps;

  auto write = [&](const std::string& file, const Bytes& container, const std::string& stored) {
    WriteBytes(folder / file, Gzip(container, stored, mtime));
    return folder / file;
  };
  maps.push_back(write("frontier.qdm", SampleMainContainer(SinglePlayerMap, {1, 0, 32, 24}), "frontier"));
  maps.push_back(write("islands.qdp", SampleMainContainer(MultiplayerMap, {2, 2, 40, 40}), "islands"));
  const SampleOptions campaign{3, 1, 48, 32};
  maps.push_back(write("007.qdc", SampleMainContainer(CampaignMap, campaign), "007"));
  write("007000.qdc", SampleMissionContainer(campaign, 0), "007000");
  write("007003.qdc", SampleMissionContainer(campaign, 3), "007003");
  return maps;
}

}  // namespace kartwerk::testing

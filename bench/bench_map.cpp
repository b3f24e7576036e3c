#include "bench/bench_map.hpp"

#include <map>

#include "convert/records/cliff_data.hpp"
#include "convert/writers/map_header_files.hpp"
#include "convert/writers/mission_info_files.hpp"
#include "format/staging.hpp"

namespace kartwerk::bench {

BenchMap::BenchMap(const mapmaker::BenchMapPreset& preset) : preset_(preset) {
  const mapmaker::BenchMapOptions& o = preset.options;
  main_ = mapmaker::BenchMainContainer(o);
  decompressed_ = main_.size();
  format::Conversion& c = conversion_;
  c.MapKind = o.kind;
  c.SlotFolder = scratch_.path() / "slot";
  c.MapName = preset.name;
  c.CliffDataBuffer = records::LoadCliffData(KARTWERK_CLIFFDATA);
  if (o.kind == format::CampaignMap) {
    for (int n = 0; n < o.missions; ++n) {
      const std::string name = preset.name + std::to_string(1000 + n).substr(1);
      const core::Bytes mission = mapmaker::BenchMissionContainer(o, n);
      decompressed_ += mission.size();
      mapmaker::WriteBytes(scratch_.path() / (name + ".qdc"), mapmaker::Gzip(mission, name));
      c.MissionList.push_back(name);
      c.MissionFiles.push_back(scratch_.path() / (name + ".qdc"));
    }
  }
  std::filesystem::create_directories(c.SlotFolder);
}

format::Conversion& BenchMap::Fresh() {
  format::Conversion& c = conversion_;
  c.MissionStream.Load(main_);
  c.MiniEntryCount = format::ReadSectionDirectory(c.MissionStream, c.SectionDirectory);
  c.MissionName = c.MapKind == format::CampaignMap ? std::string() : "mis.000";
  writers::WriteMapInfoFile(c);
  return c;
}

format::Conversion& BenchMap::MapLevel() { return Fresh(); }

format::Conversion& BenchMap::FirstMission() {
  format::Conversion& c = Fresh();
  if (c.MapKind == format::CampaignMap) {
    c.MissionName = "mis." + c.MissionList.front().substr(3, 3);
    format::LoadMissionFile(c, 0);
  }
  std::filesystem::create_directories(c.MissionFolder());
  writers::WriteInfoFile(c);
  return c;
}

BenchMap& BenchMapAt(std::size_t index) {
  // Building the largest maps takes a while; each is built once per run.
  static std::map<std::size_t, std::unique_ptr<BenchMap>> built;
  auto& slot = built[index];
  if (!slot) slot = std::make_unique<BenchMap>(mapmaker::BenchMapPresets().at(index));
  return *slot;
}

std::size_t BenchMapCount() { return mapmaker::BenchMapPresets().size(); }

}  // namespace kartwerk::bench

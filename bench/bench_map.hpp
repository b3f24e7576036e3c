// The benchmark maps, prepared once per run: the containers built in memory, a scratch slot
// folder, and a Conversion ready for the map-level writers or for the first mission's writers.
#pragma once

#include <memory>
#include <string>

#include "format/conversion.hpp"
#include "mapmaker/bench_maps.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk::bench {

class BenchMap {
 public:
  explicit BenchMap(const mapmaker::BenchMapPreset& preset);

  const mapmaker::BenchMapPreset& preset() const { return preset_; }
  // The decompressed main container and the sum of every container's size.
  const core::Bytes& main() const { return main_; }
  std::size_t decompressedBytes() const { return decompressed_; }

  // The conversion with the main container loaded, MapInfoRecord read and the slot folder made.
  format::Conversion& MapLevel();
  // The conversion with the first mission's container loaded, its folder made and MissionRect set.
  format::Conversion& FirstMission();
  // A conversion as the driver receives it: main container loaded, every mission staged.
  format::Conversion& Fresh();

 private:
  mapmaker::BenchMapPreset preset_;
  mapmaker::ScratchFolder scratch_;
  core::Bytes main_;
  std::size_t decompressed_ = 0;
  format::Conversion conversion_;
};

// Index into testing::BenchMapPresets(); built on first use and kept for the run.
BenchMap& BenchMapAt(std::size_t index);
std::size_t BenchMapCount();

}  // namespace kartwerk::bench

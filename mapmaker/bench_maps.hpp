// Compiled maps of chosen sizes for the benchmarks: from a small skirmish map up to the largest
// the format holds (1024 x 1024 cells, missions covering the editor's whole 512 x 512 grid,
// thousands of objects, units and script statements).
//
// The content is plausible rather than random: terrain in patches with transitions between
// them, mostly empty cell flags and grids, so the files compress about as well as real maps and
// inflating them costs what it costs for real maps.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/byte_stream.hpp"
#include "format/map_kind.hpp"

namespace kartwerk::mapmaker {

struct BenchMapOptions {
  format::MapKindCode kind = format::SinglePlayerMap;
  std::uint32_t seed = 1;
  std::uint32_t scheme = 0;
  std::int32_t width = 64;  // cells
  std::int32_t height = 64;
  int objects = 200;
  int units = 50;
  int scripts = 10;
  int statementsPerScript = 8;
  int sounds = 10;
  int missions = 2;               // a campaign's mission files
  std::int32_t missionSide = 64;  // a campaign mission's rectangle is missionSide x missionSide
};

// The decompressed main container (for a campaign only the map sections).
core::Bytes BenchMainContainer(const BenchMapOptions& options);
// The decompressed container of a campaign's mission number n (0-based).
core::Bytes BenchMissionContainer(const BenchMapOptions& options, int n);

struct BenchMapPreset {
  std::string name;  // also the compiled file's base name; a campaign's is three digits
  BenchMapOptions options;
};

// The maps the benchmarks run on, from the smallest to the largest.
std::vector<BenchMapPreset> BenchMapPresets();
// The preset of that name; throws std::invalid_argument when there is none.
BenchMapPreset FindBenchMapPreset(const std::string& name);

// Writes the compiled map (and a campaign's mission files beside it) into folder and returns
// the path of the file to convert. A campaign's name must be three characters.
std::filesystem::path WriteBenchMap(const std::filesystem::path& folder, const BenchMapPreset& preset);

}  // namespace kartwerk::mapmaker

// The file writers, one benchmark per writer and map: the map-level files, then every
// mission step in the order the driver runs them (on the map's first mission).
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_map.hpp"
#include "convert/writers/objects_file.hpp"
#include "pipeline/conversion_steps.hpp"

namespace kartwerk::bench {
namespace {

void SetMapLabel(benchmark::State& state, const BenchMap& map, std::string_view what) {
  state.SetLabel(map.preset().name + " " + std::string(what));
}

// range(0): the map; range(1): the map-level step.
void BM_MapLevelWriter(benchmark::State& state) {
  BenchMap& map = BenchMapAt(static_cast<std::size_t>(state.range(0)));
  const pipeline::ConversionStep& step = pipeline::MapSteps().at(static_cast<std::size_t>(state.range(1)));
  format::Conversion& c = map.MapLevel();
  if (step.run != writers::WriteObjectsFile) writers::WriteObjectsFile(c);  // "cflags" reads the cliff marks
  for (auto _ : state) step.run(c);
  SetMapLabel(state, map, step.label);
}
BENCHMARK(BM_MapLevelWriter)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 4, 1),
                   benchmark::CreateDenseRange(0, pipeline::kMapStepCount - 1, 1)})
    ->Unit(benchmark::kMillisecond);

// range(0): the map; range(1): the mission step.
void BM_MissionWriter(benchmark::State& state) {
  BenchMap& map = BenchMapAt(static_cast<std::size_t>(state.range(0)));
  const pipeline::ConversionStep& step = pipeline::MissionSteps().at(static_cast<std::size_t>(state.range(1)));
  format::Conversion& c = map.FirstMission();
  for (auto _ : state) step.run(c);
  SetMapLabel(state, map, step.label);
}
BENCHMARK(BM_MissionWriter)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 4, 1),
                   benchmark::CreateDenseRange(0, pipeline::kMissionStepCount - 1, 1)})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kartwerk::bench

// Whole conversions on maps in memory: the driver's steps (RunConversionSteps) from a loaded
// main container, and the staging that comes before them compared with bare inflation.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <map>
#include <stop_token>

#include "bench/bench_map.hpp"
#include "format/gzip_file.hpp"
#include "format/inflate.hpp"
#include "mapmaker/map_builder.hpp"
#include "pipeline/conversion_worker.hpp"

namespace kartwerk::bench {
namespace {

void BM_RunConversionSteps(benchmark::State& state) {
  BenchMap& map = BenchMapAt(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    format::Conversion& c = map.Fresh();
    state.ResumeTiming();
    const pipeline::ConversionEnd end = pipeline::RunConversionSteps(c, {}, std::stop_token{});
    if (!end.Completed()) state.SkipWithError(end.FailureText().c_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(map.decompressedBytes()));
  state.SetLabel(map.preset().name);
}
BENCHMARK(BM_RunConversionSteps)->DenseRange(0, 4, 1)->Unit(benchmark::kMillisecond);

// The main file's gzip member, written once per map.
const std::filesystem::path& CompiledMain(BenchMap& map, const mapmaker::ScratchFolder& folder) {
  static std::map<const BenchMap*, std::filesystem::path> written;
  auto& path = written[&map];
  if (path.empty()) {
    path = folder / (map.preset().name + ".gz");
    mapmaker::WriteBytes(path, mapmaker::Gzip(map.main(), map.preset().name));
  }
  return path;
}

const mapmaker::ScratchFolder& Scratch() {
  static mapmaker::ScratchFolder folder;
  return folder;
}

// Decompressing the main file into memory, as staging does it.
void BM_GunzipToMemory(benchmark::State& state) {
  BenchMap& map = BenchMapAt(static_cast<std::size_t>(state.range(0)));
  const auto& source = CompiledMain(map, Scratch());
  for (auto _ : state) benchmark::DoNotOptimize(format::GunzipToMemory(source));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(map.main().size()));
  state.SetLabel(std::string(map.preset().name) + " " + format::InflaterName());
}
BENCHMARK(BM_GunzipToMemory)->DenseRange(0, 4, 1)->Unit(benchmark::kMillisecond);

// Bare zlib inflation of the same member into memory: the least decompression can cost.
void BM_InflateOnly(benchmark::State& state) {
  BenchMap& map = BenchMapAt(static_cast<std::size_t>(state.range(0)));
  const core::Bytes compressed = mapmaker::ReadBytes(CompiledMain(map, Scratch()));
  core::Bytes out(map.main().size());
  for (auto _ : state) {
    z_stream s{};
    inflateInit2(&s, 15 + 16);
    s.next_in = const_cast<Bytef*>(compressed.data());
    s.avail_in = static_cast<uInt>(compressed.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    benchmark::DoNotOptimize(inflate(&s, Z_FINISH));
    inflateEnd(&s);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(map.main().size()));
  state.SetLabel(map.preset().name);
}
BENCHMARK(BM_InflateOnly)->DenseRange(0, 4, 1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kartwerk::bench

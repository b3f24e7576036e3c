// The pure record converters, each over the records of the largest benchmark map, so a record
// costs what it costs in a real conversion (the same spread of codes, names and values).
#include <benchmark/benchmark.h>

#include <span>

#include "bench/bench_map.hpp"
#include "convert/records/beach_island_rhombs.hpp"
#include "convert/records/groups.hpp"
#include "convert/records/name_table.hpp"
#include "convert/records/normal_rhombs.hpp"
#include "convert/records/objects.hpp"
#include "convert/records/rhomb_record.hpp"
#include "convert/records/scripts.hpp"
#include "convert/records/sounds.hpp"
#include "convert/records/units.hpp"
#include "convert/writers/mission_list_files.hpp"

namespace kartwerk::bench {
namespace {

constexpr std::size_t kLargest = 4;  // the 1024 x 1024 campaign
constexpr std::size_t kLarge = 3;    // the 512 x 512 single-player map

std::span<const std::uint8_t> SectionBytes(const Conversion& c, Section section) {
  const sectionRec& entry = c.Entry(section);
  return c.MissionStream.bytes().subspan(static_cast<std::size_t>(entry.offset), static_cast<std::size_t>(entry.size));
}

void BM_ConvertRhomb(benchmark::State& state) {
  const Conversion& c = BenchMapAt(kLargest).MapLevel();
  const auto rhombs = SectionBytes(c, Section::TerrainRhombs);
  const bool normal = state.range(0) == 0;
  for (auto _ : state) {
    for (std::size_t at = 0; at + CompiledRhomb::kSize <= rhombs.size(); at += CompiledRhomb::kSize) {
      const CompiledRhomb rhomb = CompiledRhomb::Decode(rhombs.subspan(at, CompiledRhomb::kSize));
      benchmark::DoNotOptimize(normal ? ConvertRhomb(rhomb) : ConvertRhomb2(rhomb));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(rhombs.size() / CompiledRhomb::kSize));
  state.SetLabel(normal ? "Normal" : "Beach/Island");
}
BENCHMARK(BM_ConvertRhomb)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ConvertObject(benchmark::State& state) {
  Conversion& c = BenchMapAt(kLargest).MapLevel();
  const auto objects = SectionBytes(c, Section::Objects);
  c.CliffGrid.assign(static_cast<std::size_t>(c.MapInfoRecord.width) * c.MapInfoRecord.height, 0);
  for (auto _ : state) {
    for (std::size_t at = 0; at + ObjectRecord::kSize <= objects.size(); at += ObjectRecord::kSize) {
      benchmark::DoNotOptimize(ConvertObject(ObjectRecord::Decode(objects.subspan(at, ObjectRecord::kSize)), c));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(objects.size() / ObjectRecord::kSize));
}
BENCHMARK(BM_ConvertObject)->Unit(benchmark::kMillisecond);

void BM_ConvertUnitRecord(benchmark::State& state) {
  Conversion& c = BenchMapAt(kLarge).FirstMission();
  const NameTable names = UnitNameTable(c);
  std::int64_t units = 0;
  for (auto _ : state) {
    c.Seek(Section::MapUnits);
    const std::int32_t count = c.MissionStream.ReadI32();
    std::uint8_t head[UnitHead::kSize];
    for (std::int32_t i = 0; i < count; ++i) {
      c.MissionStream.ReadRecord(head);
      const UnitHead unit = UnitHead::Decode(head);
      const auto crew = ReadCrewReversed(c.MissionStream, unit.SubRecordCount());
      benchmark::DoNotOptimize(ConvertUnitRecord(unit, crew, names, c.MissionRect));
    }
    units += count;
  }
  state.SetItemsProcessed(units);
}
BENCHMARK(BM_ConvertUnitRecord)->Unit(benchmark::kMillisecond);

void BM_ConvertScript(benchmark::State& state) {
  Conversion& c = BenchMapAt(kLarge).FirstMission();
  std::int64_t scripts = 0;
  for (auto _ : state) {
    c.Seek(Section::Scripts);
    const std::int32_t count = c.MissionStream.ReadI32();
    for (std::int32_t i = 0; i < count; ++i)
      benchmark::DoNotOptimize(ConvertScript(c.MissionStream, i, CurrentKeywords));
    scripts += count;
  }
  state.SetItemsProcessed(scripts);
}
BENCHMARK(BM_ConvertScript)->Unit(benchmark::kMillisecond);

void BM_ConvertGroupRecord(benchmark::State& state) {
  Conversion& c = BenchMapAt(kLarge).FirstMission();
  const auto groups = SectionBytes(c, Section::Groups);
  for (auto _ : state) {
    for (std::size_t at = 0; at + GroupRecord::kSize <= groups.size(); at += GroupRecord::kSize) {
      const std::span<const std::uint8_t> record(groups.data() + at, GroupRecord::kSize);
      benchmark::DoNotOptimize(ConvertGroupRecord(GroupRecord::Decode(record)));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(groups.size() / GroupRecord::kSize));
}
BENCHMARK(BM_ConvertGroupRecord);

void BM_ConvertSoundRecord(benchmark::State& state) {
  Conversion& c = BenchMapAt(kLarge).FirstMission();
  const auto sounds = SectionBytes(c, Section::Sounds).subspan(4);
  for (auto _ : state) {
    for (std::size_t at = 0; at + SoundRecord::kSize <= sounds.size(); at += SoundRecord::kSize) {
      benchmark::DoNotOptimize(ConvertSoundRecord(SoundRecord::Decode(sounds.subspan(at, SoundRecord::kSize))));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(sounds.size() / SoundRecord::kSize));
}
BENCHMARK(BM_ConvertSoundRecord);

}  // namespace
}  // namespace kartwerk::bench

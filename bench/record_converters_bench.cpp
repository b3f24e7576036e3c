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

std::span<const std::uint8_t> SectionBytes(const format::Conversion& c, format::Section section) {
  const format::SectionEntry& entry = c.Entry(section);
  return c.MissionStream.bytes().subspan(static_cast<std::size_t>(entry.offset), static_cast<std::size_t>(entry.size));
}

void BM_ConvertRhomb(benchmark::State& state) {
  const format::Conversion& c = BenchMapAt(kLargest).MapLevel();
  const auto rhombs = SectionBytes(c, format::Section::TerrainRhombs);
  const bool normal = state.range(0) == 0;
  for (auto _ : state) {
    for (std::size_t at = 0; at + records::CompiledRhomb::kSize <= rhombs.size(); at += records::CompiledRhomb::kSize) {
      const records::CompiledRhomb rhomb =
          records::CompiledRhomb::Decode(rhombs.subspan(at, records::CompiledRhomb::kSize));
      benchmark::DoNotOptimize(normal ? records::ConvertRhomb(rhomb) : records::ConvertRhomb2(rhomb));
    }
  }
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(rhombs.size() / records::CompiledRhomb::kSize));
  state.SetLabel(normal ? "Normal" : "Beach/Island");
}
BENCHMARK(BM_ConvertRhomb)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ConvertObject(benchmark::State& state) {
  format::Conversion& c = BenchMapAt(kLargest).MapLevel();
  const auto objects = SectionBytes(c, format::Section::Objects);
  c.CliffGrid.assign(static_cast<std::size_t>(c.MapInfoRecord.width) * c.MapInfoRecord.height, 0);
  for (auto _ : state) {
    for (std::size_t at = 0; at + records::ObjectRecord::kSize <= objects.size(); at += records::ObjectRecord::kSize) {
      benchmark::DoNotOptimize(
          records::ConvertObject(records::ObjectRecord::Decode(objects.subspan(at, records::ObjectRecord::kSize)), c));
    }
  }
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(objects.size() / records::ObjectRecord::kSize));
}
BENCHMARK(BM_ConvertObject)->Unit(benchmark::kMillisecond);

void BM_ConvertUnitRecord(benchmark::State& state) {
  format::Conversion& c = BenchMapAt(kLarge).FirstMission();
  const records::NameTable names = records::UnitNameTable(c);
  std::int64_t units = 0;
  for (auto _ : state) {
    c.Seek(format::Section::MapUnits);
    const std::int32_t count = c.MissionStream.ReadI32();
    std::uint8_t head[records::UnitHead::kSize];
    for (std::int32_t i = 0; i < count; ++i) {
      c.MissionStream.ReadRecord(head);
      const records::UnitHead unit = records::UnitHead::Decode(head);
      const auto crew = writers::ReadCrewReversed(c.MissionStream, unit.SubRecordCount());
      benchmark::DoNotOptimize(records::ConvertUnitRecord(unit, crew, names, c.MissionRect));
    }
    units += count;
  }
  state.SetItemsProcessed(units);
}
BENCHMARK(BM_ConvertUnitRecord)->Unit(benchmark::kMillisecond);

void BM_ConvertScript(benchmark::State& state) {
  format::Conversion& c = BenchMapAt(kLarge).FirstMission();
  std::int64_t scripts = 0;
  for (auto _ : state) {
    c.Seek(format::Section::Scripts);
    const std::int32_t count = c.MissionStream.ReadI32();
    for (std::int32_t i = 0; i < count; ++i)
      benchmark::DoNotOptimize(records::ConvertScript(c.MissionStream, i, format::GameVersionKind::CurrentKeywords));
    scripts += count;
  }
  state.SetItemsProcessed(scripts);
}
BENCHMARK(BM_ConvertScript)->Unit(benchmark::kMillisecond);

void BM_ConvertGroupRecord(benchmark::State& state) {
  format::Conversion& c = BenchMapAt(kLarge).FirstMission();
  const auto groups = SectionBytes(c, format::Section::Groups);
  for (auto _ : state) {
    for (std::size_t at = 0; at + records::GroupRecord::kSize <= groups.size(); at += records::GroupRecord::kSize) {
      const std::span<const std::uint8_t> record(groups.data() + at, records::GroupRecord::kSize);
      benchmark::DoNotOptimize(records::ConvertGroupRecord(records::GroupRecord::Decode(record)));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(groups.size() / records::GroupRecord::kSize));
}
BENCHMARK(BM_ConvertGroupRecord);

void BM_ConvertSoundRecord(benchmark::State& state) {
  format::Conversion& c = BenchMapAt(kLarge).FirstMission();
  const auto sounds = SectionBytes(c, format::Section::Sounds).subspan(4);
  for (auto _ : state) {
    for (std::size_t at = 0; at + records::SoundRecord::kSize <= sounds.size(); at += records::SoundRecord::kSize) {
      benchmark::DoNotOptimize(
          records::ConvertSoundRecord(records::SoundRecord::Decode(sounds.subspan(at, records::SoundRecord::kSize))));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(sounds.size() / records::SoundRecord::kSize));
}
BENCHMARK(BM_ConvertSoundRecord);

}  // namespace
}  // namespace kartwerk::bench

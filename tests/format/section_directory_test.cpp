#include "format/section_directory.hpp"

#include <gtest/gtest.h>

#include "core/errors.hpp"
#include "format/conversion.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::ContainerBuilder;
using mapmaker::Le;

struct Loaded {
  format::SectionTable table;
  std::uint8_t pminis = 0;
};

Loaded Load(const core::Bytes& container) {
  core::ByteStream stream;
  stream.Load(container);
  Loaded result;
  result.pminis = format::ReadSectionDirectory(stream, result.table);
  return result;
}

TEST(SectionDirectoryTest, ReadsNamesSizesAndDataOffsets) {
  const auto d = Load(
      mapmaker::ContainerBuilder().Add("FIRST", core::Bytes(5, 1)).Add("EMPTY").Add("LAST", core::Bytes(3, 2)).Build());
  ASSERT_EQ(d.table.count, 3u);
  EXPECT_EQ(d.table[0].name, "FIRST");
  EXPECT_EQ(d.table[0].size, 5);
  EXPECT_EQ(d.table[0].offset, 24);
  // An empty entry's data offset is where the next entry's name begins.
  EXPECT_EQ(d.table[1].size, 0);
  EXPECT_EQ(d.table[1].offset, 24 + 5 + 16);
  EXPECT_EQ(d.table[2].offset, d.table[1].offset + 16);
}

TEST(SectionDirectoryTest, ReadsAtMost37Entries) {
  for (int entries : {37, 38, 50}) {
    mapmaker::ContainerBuilder c;
    for (int i = 0; i < entries; ++i) c.Add("S" + std::to_string(i), core::Bytes{static_cast<std::uint8_t>(i)});
    const auto d = Load(c.Build());
    EXPECT_EQ(d.table.count, 37u) << entries;
    EXPECT_EQ(d.table[36].name, "S36");
    EXPECT_EQ(d.table[37].size, 0);  // past the table: an empty entry
  }
}

TEST(SectionDirectoryTest, NameIsTheFirstWordUpToTheFirstZeroByte) {
  const auto d = Load(mapmaker::ContainerBuilder()
                          .AddRaw(mapmaker::Le().Text("TWO WORDS", 12), 0, {})
                          .AddRaw(mapmaker::Le().Text("P-MINI1", 12), 0, {})            // no padding blank at all
                          .AddRaw(core::Bytes(12, 'A'), 0, {})                          // no zero byte: all 12 bytes
                          .AddRaw(mapmaker::Le().Text("AB", 3).Text("CD E", 9), 0, {})  // text ends at the first zero
                          .AddRaw(mapmaker::Le().Text(" LEAD", 12), 0, {})
                          .Build());
  EXPECT_EQ(d.table[0].name, "TWO");
  EXPECT_EQ(d.table[1].name, "P-MINI1");
  EXPECT_EQ(d.table[2].name, std::string(12, 'A'));
  EXPECT_EQ(d.table[3].name, "AB");
  EXPECT_EQ(d.table[4].name, "");
}

TEST(SectionDirectoryTest, CountsOnlyTheFourPMiniNamesExactly) {
  const auto d = Load(
      mapmaker::ContainerBuilder().Add("P-MINI1").Add("P-MINI3 x").Add("P-MINI5").Add("p-mini2").Add("P-MINI").Build());
  EXPECT_EQ(d.pminis, 2);
}

TEST(SectionDirectoryTest, StopsAtTheEndOfTheFile) {
  core::Bytes exact = mapmaker::ContainerBuilder().Add("A", core::Bytes(4, 1)).Add("B", core::Bytes(2, 2)).Build();
  EXPECT_EQ(Load(exact).table.count, 2u);

  // Ending inside the next entry's name or size field: the last complete entry is the last one.
  core::Bytes cut = exact;
  cut.insert(cut.end(), {'C', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0});
  EXPECT_EQ(Load(cut).table.count, 2u);

  // A stored size running past the end keeps the entry and ends the directory.
  const auto past = Load(mapmaker::ContainerBuilder()
                             .AddRaw(mapmaker::Le().Text("BIG", 12), 1000, core::Bytes(10, 0))
                             .Add("NEXT")
                             .Build());
  ASSERT_EQ(past.table.count, 1u);
  EXPECT_EQ(past.table[0].size, 1000);

  EXPECT_EQ(Load(core::Bytes(8, 0)).table.count, 0u);
  EXPECT_EQ(Load(core::Bytes(3, 0)).table.count, 0u);
}

TEST(SectionDirectoryTest, NegativeSizesMoveBackButTheLoopStaysBounded) {
  const auto d = Load(mapmaker::ContainerBuilder().AddRaw(mapmaker::Le().Text("BACK", 12), -16, {}).Build());
  EXPECT_EQ(d.table.count, 37u);
  EXPECT_EQ(d.table[36].name, "BACK");
}

TEST(SectionDirectoryTest, EveryLoadStartsFromAnEmptyTable) {
  core::ByteStream stream;
  format::SectionTable table;
  stream.Load(
      mapmaker::ContainerBuilder().Add("A", core::Bytes(4)).Add("B", core::Bytes(4)).Add("C", core::Bytes(4)).Build());
  format::ReadSectionDirectory(stream, table);
  stream.Load(mapmaker::ContainerBuilder().Add("X", core::Bytes(1)).Build());
  format::ReadSectionDirectory(stream, table);
  EXPECT_EQ(table.count, 1u);
  EXPECT_EQ(table[1].name, "");
  EXPECT_EQ(table[1].size, 0);
  EXPECT_EQ(table[2].offset, 0);
}

TEST(SectionDirectoryTest, ConversionFindsSectionsByPositionForItsKind) {
  format::Conversion c;
  c.MapKind = format::MultiplayerMap;
  c.MissionStream.Load(mapmaker::MapBuilder(format::MultiplayerMap).MapInfo(2, 160, 120).Build());
  c.MiniEntryCount = format::ReadSectionDirectory(c.MissionStream, c.SectionDirectory);
  // In a multiplayer map the map information follows a 16-byte first entry.
  EXPECT_EQ(c.Entry(format::Section::MapInformation).offset, 56);
  c.Seek(format::Section::MapInformation);
  EXPECT_EQ(c.MissionStream.ReadU32(), 2u);
  EXPECT_EQ(c.MissionStream.ReadI32(), 160);
  // A section this kind does not have is an empty entry.
  EXPECT_EQ(c.Entry(format::Section::Groups).size, 0);
  EXPECT_EQ(c.Entry(format::Section::Groups).name, "");

  c.MapKind = format::SinglePlayerMap;
  c.MissionStream.Load(mapmaker::MapBuilder(format::SinglePlayerMap).MapInfo(1, 8, 8).Build());
  c.MiniEntryCount = format::ReadSectionDirectory(c.MissionStream, c.SectionDirectory);
  EXPECT_EQ(c.Entry(format::Section::MapInformation).offset, 24);
}

// A damaged size field (top bit set) is reported once, naming the file and the entry; sizes that
// only run past the end of a cut file are left to the converters that read them.
TEST(SectionDirectoryTest, LoadingWarnsAboutTheFirstNegativeSize) {
  mapmaker::ScratchFolder dir;
  format::Conversion c;
  std::vector<std::string> warnings;
  c.Warn = [&](const std::string& w) { warnings.push_back(w); };
  auto load = [&](const std::string& name, const core::Bytes& container) {
    mapmaker::WriteBytes(dir / name, container);
    warnings.clear();
    format::LoadSectionDirectory(c, dir / name);
  };

  load("damaged",
       mapmaker::ContainerBuilder()
           .Add("A", core::Bytes(4, 1))
           .AddRaw(mapmaker::Le().Text("AIRF", 12), static_cast<std::int32_t>(0x80000010u), core::Bytes(16, 2))
           .Add("C", core::Bytes(4, 3))
           .Build());
  EXPECT_EQ(c.SectionDirectory.count, 2u);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0],
            "\"damaged\": section 1 (\"AIRF\") has a negative size (-2147483632); the sections after "
            "it are not found");

  load("looping", mapmaker::ContainerBuilder().Add("A").AddRaw(mapmaker::Le().Text("BACK", 12), -16, {}).Build());
  EXPECT_EQ(warnings.size(), 1u);  // once, though the walk meets the entry again and again

  load("cut", mapmaker::ContainerBuilder()
                  .Add("A", core::Bytes(4, 1))
                  .AddRaw(mapmaker::Le().Text("BIG", 12), 1000, core::Bytes(10, 0))
                  .Build());
  load("whole", mapmaker::MapBuilder(format::SinglePlayerMap).MapInfo(0, 8, 8).Build());
  EXPECT_TRUE(warnings.empty());

  c.Warn = nullptr;  // without a receiver the load is silent
  EXPECT_NO_THROW(format::LoadSectionDirectory(c, dir / "damaged"));
}

TEST(ByteStreamTest, RecordReadsZeroFillPastTheEndAndCopiesMustBeComplete) {
  core::ByteStream s;
  s.Load(core::Bytes{1, 2, 3});
  s.Seek(1);
  EXPECT_EQ(s.ReadRecord(4), (core::Bytes{2, 3, 0, 0}));
  EXPECT_EQ(s.position(), 5);
  EXPECT_EQ(s.ReadU32(), 0u);
  s.Seek(-4);
  EXPECT_EQ(s.ReadU16(), 0u);
  s.Seek(0);
  EXPECT_EQ(s.ReadExact(3), (core::Bytes{1, 2, 3}));
  s.Seek(1);
  EXPECT_THROW(s.ReadExact(3), core::StreamReadError);
  s.Seek(100);
  EXPECT_TRUE(s.ReadExact(0).empty());
}

}  // namespace
}  // namespace kartwerk

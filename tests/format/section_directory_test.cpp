#include "format/section_directory.hpp"

#include <gtest/gtest.h>

#include "format/conversion.hpp"
#include "core/errors.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using testing::ContainerBuilder;
using testing::Le;

struct Loaded {
  SectionTable table;
  std::uint8_t pminis = 0;
};

Loaded Load(const Bytes& container) {
  ByteStream stream;
  stream.Load(container);
  Loaded result;
  result.pminis = ReadSectionDirectory(stream, result.table);
  return result;
}

TEST(SectionDirectoryTest, ReadsNamesSizesAndDataOffsets) {
  const auto d = Load(ContainerBuilder().Add("FIRST", Bytes(5, 1)).Add("EMPTY").Add("LAST", Bytes(3, 2)).Build());
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
    ContainerBuilder c;
    for (int i = 0; i < entries; ++i) c.Add("S" + std::to_string(i), Bytes{static_cast<std::uint8_t>(i)});
    const auto d = Load(c.Build());
    EXPECT_EQ(d.table.count, 37u) << entries;
    EXPECT_EQ(d.table[36].name, "S36");
    EXPECT_EQ(d.table[37].size, 0);  // past the table: an empty entry
  }
}

TEST(SectionDirectoryTest, NameIsTheFirstWordUpToTheFirstZeroByte) {
  const auto d = Load(ContainerBuilder()
                          .AddRaw(Le().Text("TWO WORDS", 12), 0, {})
                          .AddRaw(Le().Text("P-MINI1", 12), 0, {})            // no padding blank at all
                          .AddRaw(Bytes(12, 'A'), 0, {})                      // no zero byte: all 12 bytes
                          .AddRaw(Le().Text("AB", 3).Text("CD E", 9), 0, {})  // text ends at the first zero
                          .AddRaw(Le().Text(" LEAD", 12), 0, {})
                          .Build());
  EXPECT_EQ(d.table[0].name, "TWO");
  EXPECT_EQ(d.table[1].name, "P-MINI1");
  EXPECT_EQ(d.table[2].name, std::string(12, 'A'));
  EXPECT_EQ(d.table[3].name, "AB");
  EXPECT_EQ(d.table[4].name, "");
}

TEST(SectionDirectoryTest, CountsOnlyTheFourPMiniNamesExactly) {
  const auto d =
      Load(ContainerBuilder().Add("P-MINI1").Add("P-MINI3 x").Add("P-MINI5").Add("p-mini2").Add("P-MINI").Build());
  EXPECT_EQ(d.pminis, 2);
}

TEST(SectionDirectoryTest, StopsAtTheEndOfTheFile) {
  Bytes exact = ContainerBuilder().Add("A", Bytes(4, 1)).Add("B", Bytes(2, 2)).Build();
  EXPECT_EQ(Load(exact).table.count, 2u);

  // Ending inside the next entry's name or size field: the last complete entry is the last one.
  Bytes cut = exact;
  cut.insert(cut.end(), {'C', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0});
  EXPECT_EQ(Load(cut).table.count, 2u);

  // A stored size running past the end keeps the entry and ends the directory.
  const auto past = Load(ContainerBuilder().AddRaw(Le().Text("BIG", 12), 1000, Bytes(10, 0)).Add("NEXT").Build());
  ASSERT_EQ(past.table.count, 1u);
  EXPECT_EQ(past.table[0].size, 1000);

  EXPECT_EQ(Load(Bytes(8, 0)).table.count, 0u);
  EXPECT_EQ(Load(Bytes(3, 0)).table.count, 0u);
}

TEST(SectionDirectoryTest, NegativeSizesMoveBackButTheLoopStaysBounded) {
  const auto d = Load(ContainerBuilder().AddRaw(Le().Text("BACK", 12), -16, {}).Build());
  EXPECT_EQ(d.table.count, 37u);
  EXPECT_EQ(d.table[36].name, "BACK");
}

TEST(SectionDirectoryTest, EveryLoadStartsFromAnEmptyTable) {
  ByteStream stream;
  SectionTable table;
  stream.Load(ContainerBuilder().Add("A", Bytes(4)).Add("B", Bytes(4)).Add("C", Bytes(4)).Build());
  ReadSectionDirectory(stream, table);
  stream.Load(ContainerBuilder().Add("X", Bytes(1)).Build());
  ReadSectionDirectory(stream, table);
  EXPECT_EQ(table.count, 1u);
  EXPECT_EQ(table[1].name, "");
  EXPECT_EQ(table[1].size, 0);
  EXPECT_EQ(table[2].offset, 0);
}

TEST(SectionDirectoryTest, ConversionFindsSectionsByPositionForItsKind) {
  Conversion c;
  c.MapKind = MultiplayerMap;
  c.MissionStream.Load(testing::MapBuilder(MultiplayerMap).MapInfo(2, 160, 120).Build());
  c.PMiniCount = ReadSectionDirectory(c.MissionStream, c.SectionDirectory);
  // In a multiplayer map the map information follows a 16-byte first entry.
  EXPECT_EQ(c.Entry(Section::MapInformation).offset, 56);
  c.Seek(Section::MapInformation);
  EXPECT_EQ(c.MissionStream.ReadU32(), 2u);
  EXPECT_EQ(c.MissionStream.ReadI32(), 160);
  // A section this kind does not have is an empty entry.
  EXPECT_EQ(c.Entry(Section::Groups).size, 0);
  EXPECT_EQ(c.Entry(Section::Groups).name, "");

  c.MapKind = SinglePlayerMap;
  c.MissionStream.Load(testing::MapBuilder(SinglePlayerMap).MapInfo(1, 8, 8).Build());
  c.PMiniCount = ReadSectionDirectory(c.MissionStream, c.SectionDirectory);
  EXPECT_EQ(c.Entry(Section::MapInformation).offset, 24);
}

// A damaged size field (top bit set) is reported once, naming the file and the entry; sizes that
// only run past the end of a cut file are left to the converters that read them.
TEST(SectionDirectoryTest, LoadingWarnsAboutTheFirstNegativeSize) {
  testing::ScratchFolder dir;
  Conversion c;
  std::vector<std::string> warnings;
  c.Warn = [&](const std::string& w) { warnings.push_back(w); };
  auto load = [&](const std::string& name, const Bytes& container) {
    testing::WriteBytes(dir / name, container);
    warnings.clear();
    LoadSectionDirectory(c, dir / name);
  };

  load("damaged", ContainerBuilder()
                      .Add("A", Bytes(4, 1))
                      .AddRaw(Le().Text("AIRF", 12), static_cast<std::int32_t>(0x80000010u), Bytes(16, 2))
                      .Add("C", Bytes(4, 3))
                      .Build());
  EXPECT_EQ(c.SectionDirectory.count, 2u);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0],
            "\"damaged\": section 1 (\"AIRF\") has a negative size (-2147483632); the sections after "
            "it are not found");

  load("looping", ContainerBuilder().Add("A").AddRaw(Le().Text("BACK", 12), -16, {}).Build());
  EXPECT_EQ(warnings.size(), 1u);  // once, though the walk meets the entry again and again

  load("cut", ContainerBuilder().Add("A", Bytes(4, 1)).AddRaw(Le().Text("BIG", 12), 1000, Bytes(10, 0)).Build());
  load("whole", testing::MapBuilder(SinglePlayerMap).MapInfo(0, 8, 8).Build());
  EXPECT_TRUE(warnings.empty());

  c.Warn = nullptr;  // without a receiver the load is silent
  EXPECT_NO_THROW(LoadSectionDirectory(c, dir / "damaged"));
}

TEST(ByteStreamTest, RecordReadsZeroFillPastTheEndAndCopiesMustBeComplete) {
  ByteStream s;
  s.Load(Bytes{1, 2, 3});
  s.Seek(1);
  EXPECT_EQ(s.ReadRecord(4), (Bytes{2, 3, 0, 0}));
  EXPECT_EQ(s.position(), 5);
  EXPECT_EQ(s.ReadU32(), 0u);
  s.Seek(-4);
  EXPECT_EQ(s.ReadU16(), 0u);
  s.Seek(0);
  EXPECT_EQ(s.ReadExact(3), (Bytes{1, 2, 3}));
  s.Seek(1);
  EXPECT_THROW(s.ReadExact(3), StreamReadError);
  s.Seek(100);
  EXPECT_TRUE(s.ReadExact(0).empty());
}

}  // namespace
}  // namespace kartwerk

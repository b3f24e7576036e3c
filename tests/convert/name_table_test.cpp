// Unit type names looked up by number in the unit names section of the loaded mission.
#include "convert/records/name_table.hpp"

#include <gtest/gtest.h>

#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Le;
using mapmaker::MapBuilder;

void LoadContainer(format::Conversion& c, format::MapKindCode kind, const core::Bytes& container) {
  c.MapKind = kind;
  c.MissionStream.Load(container);
  c.MiniEntryCount = format::ReadSectionDirectory(c.MissionStream, c.SectionDirectory);
}

// The unit names section sits at a different position for each kind of container; the
// table must find it there and nowhere else.
class UnitNameTableByKind
    : public ::testing::TestWithParam<std::pair<format::MapKindCode, mapmaker::MapBuilder::File>> {};

TEST_P(UnitNameTableByKind, FindsTheNamesOfThisKindsSection) {
  const auto [kind, file] = GetParam();
  format::Conversion c;
  LoadContainer(
      c, kind,
      mapmaker::MapBuilder(kind, file)
          .Set(format::Section::MapUnits, mapmaker::Le().Text("NOT A NAME", 16))
          .Set(format::Section::UnitNames, mapmaker::Le().Text("Panzer", 16).Text("Jeep", 16).Text("Infantry", 16))
          .Build());
  const records::NameTable names = records::UnitNameTable(c);
  EXPECT_EQ(records::LookupName(names, 0), "Panzer");
  EXPECT_EQ(records::LookupName(names, 1), "Jeep");
  EXPECT_EQ(records::LookupName(names, 2), "Infantry");
}

INSTANTIATE_TEST_SUITE_P(AllKinds, UnitNameTableByKind,
                         ::testing::Values(std::pair{format::SinglePlayerMap, mapmaker::MapBuilder::File::Main},
                                           std::pair{format::MultiplayerMap, mapmaker::MapBuilder::File::Main},
                                           std::pair{format::CampaignMap,
                                                     mapmaker::MapBuilder::File::CampaignMission}));

TEST(LookupName, CutsAtTheFirstZeroAndNeverRunsPastSixteenBytes) {
  core::ByteStream s;
  s.Load(mapmaker::Le().Raw(core::Bytes(16, 'A')).Text("B", 16).Text("", 16).Raw({'C', 0, 'D', 'E'}).Fill(12));
  const records::NameTable names(s, 0);
  EXPECT_EQ(records::LookupName(names, 0), std::string(16, 'A'));  // no zero byte: all 16, not "AAA...B"
  EXPECT_EQ(records::LookupName(names, 1), "B");
  EXPECT_EQ(records::LookupName(names, 2), "");   // begins with a zero byte
  EXPECT_EQ(records::LookupName(names, 3), "C");  // what follows the zero byte is not part of the name
}

TEST(LookupName, LeavesTheReadPositionWhereTheCallerWasReading) {
  core::ByteStream s;
  s.Load(mapmaker::Le().Text("Tank", 16).Text("Truck", 16).U32(0x11223344).U32(0x55667788));
  const records::NameTable names(s, 0);
  s.Seek(32);
  EXPECT_EQ(s.ReadU32(), 0x11223344u);
  EXPECT_EQ(records::LookupName(names, 1), "Truck");
  EXPECT_EQ(s.position(), 36);
  EXPECT_EQ(s.ReadU32(), 0x55667788u);  // the record reader goes on where it stopped
}

// The table has no count: a number past its end reads whatever lies there in the stream,
// and only the stream's end (not the section's) bounds what can be read.
TEST(LookupName, NumbersPastTheTableReadTheStreamAndPastTheStreamReadZeros) {
  core::ByteStream s;
  s.Load(mapmaker::Le().Fill(8).Text("Only", 16).Text("Following", 16).Raw({'P', 'a', 'r', 't'}));
  const records::NameTable names(s, 8);
  EXPECT_EQ(records::LookupName(names, 1), "Following");   // beyond a one-entry section, still in the stream
  EXPECT_EQ(records::LookupName(names, 2), "Part");        // only 4 of its 16 bytes exist
  EXPECT_EQ(records::LookupName(names, 3), "");            // wholly past the end
  EXPECT_EQ(records::LookupName(names, 0xFFFFFFFFu), "");  // the largest 32-bit number reaches nowhere
  EXPECT_EQ(s.position(), 0);

  core::ByteStream empty;
  EXPECT_EQ(records::LookupName(records::NameTable(empty, 0), 0), "");
  EXPECT_EQ(records::LookupName(records::NameTable(s, -16), 0), "");  // a table placed before the stream's start
}

}  // namespace
}  // namespace kartwerk

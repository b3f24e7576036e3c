// Support flags and support group units.
#include "convert/records/support.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Le;

// The five fields in record order: first point, second point, parameter.
records::SupportFlagRecord Flag(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                                std::int32_t param) {
  return records::SupportFlagRecord::Decode(mapmaker::Le().I32(x1).I32(y1).I32(x2).I32(y2).I32(param).bytes);
}

const format::MissionRectangle kCampaignRect{10, 4, 100, 50};

TEST(SupportFlag, AnUnsetFlagIsAlwaysTheSameLine) {
  for (const format::MissionRectangle& rect : {format::MissionRectangle{}, kCampaignRect}) {
    EXPECT_EQ(records::ConvertSupportFlag(Flag(-1, -1, -1, -1, 0), rect), "flag -1,-1,0,-1,-1\n");
    EXPECT_EQ(records::ConvertSupportFlag(Flag(-1, 33, 44, 55, 66), rect), "flag -1,-1,0,-1,-1\n");
  }
}

TEST(SupportFlag, PointsAreMovedByTheOriginInCellsAndTheParameterStandsBetweenThem) {
  EXPECT_EQ(records::ConvertSupportFlag(Flag(5, 6, 7, 8, 9), kCampaignRect), "flag 15,10,9,17,12\n");
  EXPECT_EQ(records::ConvertSupportFlag(Flag(5, 6, 7, 8, 9), {}), "flag 5,6,9,7,8\n");
  // Only -1 marks an unset flag; other negative columns are ordinary numbers.
  EXPECT_EQ(records::ConvertSupportFlag(Flag(-2, 0, 0, 0, -3), kCampaignRect), "flag 8,4,-3,10,4\n");
  EXPECT_EQ(records::ConvertSupportFlag(Flag(-2, -9, 0, 0, 0), {}), "flag -2,-9,0,0,0\n");
  EXPECT_EQ(records::ConvertSupportFlag(Flag(2147483647, 0, 0, 0, 0), {1, 0, 0, 0}), "flag -2147483648,0,0,1,0\n");
}

records::SupportUnitHead Head(std::uint32_t id, std::uint8_t in = 0, std::uint8_t crew = 0) {
  // Grp HP Ammo Expa Lives Morale ID(4) In Crew
  return records::SupportUnitHead::Decode(
      mapmaker::Le().U8(2).U8(99).U8(50).U8(3).U8(1).U8(77).U32(id).U8(in).U8(crew).bytes);
}

class SupportUnitTest : public ::testing::Test {
 protected:
  SupportUnitTest() { stream.Load(mapmaker::Le().Text("Howitzer", 16).Text("Loader", 16).Text("Spotter", 16)); }

  core::ByteStream stream;
  records::NameTable names{stream, 0};
};

TEST_F(SupportUnitTest, AUnitLineEndsAfterItsCrewAndInPairsWithoutPosition) {
  EXPECT_EQ(records::ConvertSupportUnit(Head(0, 0, 0), {}, names),
            " ID=Howitzer HP=99 Ammo=50 Expa=3 Morale=77 Lives=1 Grp=2 Crew=0 \n");
  const std::vector<records::CrewRecord> crew = {
      records::CrewRecord::Decode(mapmaker::Le().U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U32(2).bytes),
      records::CrewRecord::Decode(mapmaker::Le().U8(7).U8(8).U8(9).U8(10).U8(11).U8(12).U32(1).bytes),
      records::CrewRecord::Decode(mapmaker::Le().U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U32(1).bytes),
  };
  EXPECT_EQ(records::ConvertSupportUnit(Head(0, 2, 1), crew, names),
            " ID=Howitzer HP=99 Ammo=50 Expa=3 Morale=77 Lives=1 Grp=2 Crew=1 In=2 \n"
            "  ID=Spotter HP=2 Ammo=3 Expa=4 Morale=6 Lives=5 Grp=1\n"
            "  ID=Loader HP=8 Ammo=9 Expa=10 Morale=12 Lives=11 Grp=7\n"
            "  ID=Loader HP=0 Ammo=0 Expa=0 Morale=0 Lives=0 Grp=0\n");
}

// Support records keep the type number in all four bytes 6 to 9, so a number with high
// bytes set names a different entry than its low half would.
TEST(SupportUnitNames, TypeNumbersAreThirtyTwoBitsForTheUnitAndItsCrew) {
  constexpr std::uint32_t kWide = 0x00010002;  // the low half alone would be entry 2
  core::Bytes table = mapmaker::Le().Text("Zero", 16).Text("One", 16).Text("Two", 16);
  table.resize(16 * std::size_t{kWide});
  core::ByteStream stream;
  stream.Load(mapmaker::Le().Raw(table).Text("Far", 16));
  const records::NameTable names(stream, 0);

  const std::string text = records::ConvertSupportUnit(
      Head(kWide, 1, 0), std::vector{records::CrewRecord::Decode(mapmaker::Le().Fill(6).U32(kWide).bytes)}, names);
  EXPECT_EQ(text.substr(0, 11), " ID=Far HP=");
  EXPECT_EQ(text.substr(text.find('\n') + 1, 11), "  ID=Far HP");

  const std::string beyond = records::ConvertSupportUnit(Head(0xFFFFFFFF), {}, names);
  EXPECT_EQ(beyond.substr(0, 8), " ID= HP=");  // far outside the stream: an empty name
}

}  // namespace
}  // namespace kartwerk

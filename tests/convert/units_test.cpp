// Map units: one line per unit, one indented line per passenger or crew member.
#include "convert/records/units.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Le;

class UnitRecordTest : public ::testing::Test {
 protected:
  UnitRecordTest() {
    stream.Load(mapmaker::Le().Text("Tank", 16).Text("Driver", 16).Text("Gunner", 16).Text("Rifleman", 16));
  }

  static records::UnitHead Head(std::uint8_t in, std::uint8_t crew, std::uint16_t u = 100, std::uint16_t v = 50) {
    // Grp HP Ammo Expa Lives Morale ID(2) unused(2) In Crew U V Dir Owner
    return records::UnitHead::Decode(mapmaker::Le()
                                         .U8(3)
                                         .U8(90)
                                         .U8(80)
                                         .U8(7)
                                         .U8(2)
                                         .U8(60)
                                         .U16(0)
                                         .U16(0)
                                         .U8(in)
                                         .U8(crew)
                                         .U16(u)
                                         .U16(v)
                                         .U8(128)
                                         .U8(1)
                                         .bytes);
  }
  static records::CrewRecord Member(std::uint16_t id, std::uint8_t hp) {
    return records::CrewRecord::Decode(mapmaker::Le().U8(4).U8(hp).U8(5).U8(6).U8(1).U8(70).U16(id).U16(0).bytes);
  }

  core::ByteStream stream;
  records::NameTable names{stream, 0};
};

TEST_F(UnitRecordTest, AUnitWithoutPassengersOrCrewIsOneLineEndingInASpace) {
  EXPECT_EQ(records::ConvertUnitRecord(Head(0, 0), {}, names, {}),
            " ID=Tank HP=90 Ammo=80 Expa=7 Morale=60 Lives=2 Grp=3 Crew=0 U=100 V=50 Dir=128 Owner=1 \n");
}

TEST_F(UnitRecordTest, PassengersAndCrewFollowInTheOrderHandedOver) {
  const std::vector<records::CrewRecord> crew = {Member(3, 11), Member(2, 22), Member(1, 33)};
  EXPECT_EQ(records::ConvertUnitRecord(Head(2, 1), crew, names, {}),
            " ID=Tank HP=90 Ammo=80 Expa=7 Morale=60 Lives=2 Grp=3 Crew=1 In=2 U=100 V=50 Dir=128 Owner=1 \n"
            "  ID=Rifleman HP=11 Ammo=5 Expa=6 Morale=70 Lives=1 Grp=4\n"
            "  ID=Gunner HP=22 Ammo=5 Expa=6 Morale=70 Lives=1 Grp=4\n"
            "  ID=Driver HP=33 Ammo=5 Expa=6 Morale=70 Lives=1 Grp=4\n");
}

TEST_F(UnitRecordTest, PositionsAreMovedByTheMissionOriginInWholeCells) {
  const auto position = [&](const format::MissionRectangle& rect, std::uint16_t u, std::uint16_t v) {
    const std::string line = records::ConvertUnitRecord(Head(0, 0, u, v), {}, names, rect);
    return line.substr(line.find(" U="), line.find(" Dir=") - line.find(" U="));
  };
  EXPECT_EQ(position({0, 0, 64, 64}, 100, 50), " U=100 V=50");
  EXPECT_EQ(position({10, 4, 100, 50}, 100, 50), " U=420 V=178");
  EXPECT_EQ(position({0, 0, 64, 64}, 65535, 0), " U=65535 V=0");  // unsigned as stored
  EXPECT_EQ(position({-1, -2, 1, 1}, 10, 0), " U=-22 V=-64");
  // An absurd origin wraps like the game's 32-bit arithmetic instead of overflowing.
  EXPECT_EQ(position({1 << 26, 0, 1, 1}, 5, 0), " U=-2147483643 V=0");
}

TEST_F(UnitRecordTest, NamesAreLookedUpWithoutLengthOrContentSurprises) {
  core::ByteStream s;
  s.Load(mapmaker::Le().Raw(core::Bytes(16, 'X')).Text("next", 16).Text("", 16));
  const records::NameTable table(s, 0);
  records::UnitHead head = Head(0, 1);
  head.ID = 0;
  const std::string text =
      records::ConvertUnitRecord(head, std::vector{records::CrewRecord{}, records::CrewRecord{}}, table, {});
  EXPECT_EQ(text.substr(0, 24), " ID=" + std::string(16, 'X') + " HP=");

  head.ID = 2;  // an empty name: " ID=" directly followed by " HP="
  EXPECT_EQ(records::ConvertUnitRecord(head, {}, table, {}).substr(0, 10), " ID= HP=90");
}

// Only bytes 6 and 7 name the type of a map unit's crew member; bytes 8 and 9 are unused.
TEST_F(UnitRecordTest, CrewTypeNumbersAreSixteenBits) {
  const records::CrewRecord member =
      records::CrewRecord::Decode(mapmaker::Le().U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U16(2).U16(0xABCD).bytes);
  EXPECT_EQ(member.ID, 2);
  EXPECT_EQ(member.WideID(), 0xABCD0002u);
  const std::string text = records::ConvertUnitRecord(Head(1, 0), std::vector{member}, names, {});
  EXPECT_EQ(text.substr(text.find('\n') + 1), "  ID=Gunner HP=2 Ammo=3 Expa=4 Morale=6 Lives=5 Grp=1\n");
}

TEST(UnitHeadDecode, ReadsEveryFieldAtItsOffsetAndZeroFillsAShortRecord) {
  const records::UnitHead h = records::UnitHead::Decode(mapmaker::Le()
                                                            .U8(1)
                                                            .U8(2)
                                                            .U8(3)
                                                            .U8(4)
                                                            .U8(5)
                                                            .U8(6)
                                                            .U16(0x0708)
                                                            .U16(0xFFFF)
                                                            .U8(9)
                                                            .U8(10)
                                                            .U16(0x1112)
                                                            .U16(0x1314)
                                                            .U8(15)
                                                            .U8(16)
                                                            .bytes);
  EXPECT_EQ(
      std::vector<int>({h.Grp, h.HP, h.Ammo, h.Expa, h.Lives, h.Morale, h.ID, h.In, h.Crew, h.U, h.V, h.Dir, h.Owner}),
      std::vector<int>({1, 2, 3, 4, 5, 6, 0x0708, 9, 10, 0x1112, 0x1314, 15, 16}));
  EXPECT_EQ(h.SubRecordCount(), 19u);

  const records::UnitHead cut = records::UnitHead::Decode(
      mapmaker::Le().U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U16(7).U16(0).U8(1).U8(2).U8(0x34).bytes);
  EXPECT_EQ(cut.U, 0x34);
  EXPECT_EQ(cut.V, 0);
  EXPECT_EQ(cut.Owner, 0);
}

}  // namespace
}  // namespace kartwerk

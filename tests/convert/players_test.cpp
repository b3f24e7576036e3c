// Players: the indented block that follows each "Player N" header line.
#include "convert/records/players.hpp"

#include <gtest/gtest.h>

#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Le;

core::Bytes Aircraft(const std::string& name, std::int32_t number, std::int32_t bombs, std::int32_t reload) {
  return mapmaker::Le().Text(name, 32).I32(number).I32(bombs).I32(reload);
}

core::Bytes Descent(std::uint8_t group, std::uint8_t expa, const std::array<std::string, 4>& names,
                    const std::array<std::uint8_t, 4>& numbers) {
  mapmaker::Le d;
  d.U8(group).U8(expa);
  for (const std::string& n : names) d.Text(n, 16);
  for (std::uint8_t n : numbers) d.U8(n);
  return d;
}

core::Bytes SampleRecord() {
  return mapmaker::Le()
      .Text("Anna", 32)
      .U8(1)        // team
      .U16(0x0810)  // colour
      .U8(2)        // nation
      .U8(9)        // planesdir
      .Raw(Aircraft("Bomber", 3, 4, 5))
      .Raw(Aircraft("Spy", 1, 0, 60))
      .Raw(Aircraft("", 0, 0, 0))
      .Raw(Aircraft("Boxer", -1, -2, -3))
      .Raw(Aircraft("Interceptor", 2147483647, 6, 7))
      .Raw(Descent(7, 8, {"Para", "Medic", "", "Mortar"}, {1, 2, 0, 255}))
      .Raw(Descent(0, 0, {"", "", "", ""}, {0, 0, 0, 0}));
}

TEST(PlayerRecord, ABlockHasEveryLineWithItsIndentation) {
  const core::Bytes record = SampleRecord();
  ASSERT_EQ(record.size(), records::PlayerRecord::kSize);
  // The header line "Player N\n " in front of the block supplies the first line's indentation.
  EXPECT_EQ(records::ConvertPlayerRecord(records::PlayerRecord::Decode(record)), R"(name="Anna"
 team=1
 nation=2
 color=8 2 0
 plane bomber
  ID=Bomber
  Number=3
  Bombs=4
  Reload=5
 plane spy
  ID=Spy
  Number=1
  Bombs=0
  Reload=60
 plane transport
  ID=
  Number=0
  Bombs=0
  Reload=0
 plane boxer
  ID=Boxer
  Number=-1
  Bombs=-2
  Reload=-3
 plane interceptor
  ID=Interceptor
  Number=2147483647
  Bombs=6
  Reload=7
 descent 0
  group=7
  expa=8
  ID 0=Para
  number 0=1
  ID 1=Medic
  number 1=2
  ID 2=
  number 2=0
  ID 3=Mortar
  number 3=255
 descent 1
  group=0
  expa=0
  ID 0=
  number 0=0
  ID 1=
  number 1=0
  ID 2=
  number 2=0
  ID 3=
  number 3=0
 planesdir=9
)");
}

class PlayerColourTest : public ::testing::TestWithParam<std::pair<std::uint16_t, std::string>> {};

TEST_P(PlayerColourTest, IsSplitIntoRedGreenAndBlue) {
  core::Bytes record = SampleRecord();
  record[33] = static_cast<std::uint8_t>(GetParam().first);  // low byte first
  record[34] = static_cast<std::uint8_t>(GetParam().first >> 8);
  const std::string text = records::ConvertPlayerRecord(records::PlayerRecord::Decode(record));
  const auto start = text.find("color=");
  EXPECT_EQ(text.substr(start, text.find('\n', start) - start), "color=" + GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Examples, PlayerColourTest,
                         ::testing::Values(std::pair<std::uint16_t, std::string>{0xFFFF, "248 254 120"},
                                           std::pair<std::uint16_t, std::string>{0x0810, "8 2 0"},
                                           std::pair<std::uint16_t, std::string>{0x0000, "0 0 0"},
                                           std::pair<std::uint16_t, std::string>{0x0700, "0 224 0"},
                                           std::pair<std::uint16_t, std::string>{0x000F, "0 0 120"}));

TEST(PlayerRecord, TextsThatFillTheirFieldsStayInsideThem) {
  core::Bytes record = mapmaker::Le()
                           .Raw(core::Bytes(32, 'N'))
                           .Fill(5, 0)
                           .Raw(core::Bytes(32, 'A'))
                           .I32(0x41414141)
                           .Fill(8)  // a name running into the number's bytes
                           .Fill(4 * records::AircraftEntry::kSize)
                           .U8(0)
                           .U8(0)
                           .Raw(core::Bytes(16, 'P'))
                           .Raw(core::Bytes(16, 'Q'))
                           .Text("", 32)
                           .U8(0x52)
                           .Fill(3)
                           .Fill(records::DescentEntry::kSize);
  ASSERT_EQ(record.size(), records::PlayerRecord::kSize);
  const records::PlayerRecord player = records::PlayerRecord::Decode(record);
  EXPECT_EQ(player.name, std::string(32, 'N'));
  EXPECT_EQ(player.aircraft[0].unitName, std::string(32, 'A'));
  EXPECT_EQ(player.aircraft[0].number, 0x41414141);
  const std::string text = records::ConvertPlayerRecord(player);
  EXPECT_NE(text.find("\n  ID 0=" + std::string(16, 'P') + "\n"), std::string::npos);
  EXPECT_NE(text.find("\n  ID 1=" + std::string(16, 'Q') + "\n"), std::string::npos);
  EXPECT_NE(text.find("\n  number 0=82\n"), std::string::npos);
}

TEST(PlayerRecord, AShortRecordReadsAsZerosWhereItEnds) {
  core::Bytes record = SampleRecord();
  record.resize(37 + 44 + 40);  // ends inside the second aircraft's number
  const records::PlayerRecord player = records::PlayerRecord::Decode(record);
  EXPECT_EQ(player.aircraft[1].unitName, "Spy");
  EXPECT_EQ(player.aircraft[1].number, 1);
  EXPECT_EQ(player.aircraft[1].reload, 0);
  EXPECT_EQ(player.descents[0].unitNames[0], "");
  EXPECT_EQ(player.descents[0].numbers[3], 0);
}

}  // namespace
}  // namespace kartwerk

// The mission list files: how each writer walks its section(s) and frames the converters' texts.
#include "convert/writers/mission_list_files.hpp"
#include "convert/writers/mission_players_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "convert/records/groups.hpp"
#include "convert/writers/mission_file_io.hpp"
#include "core/errors.hpp"
#include "tests/support/mission_setup.hpp"

namespace kartwerk {
namespace {

using mapmaker::ContainerBuilder;
using mapmaker::Le;
using mapmaker::MapBuilder;
using testing::MissionSetup;

const std::string kDefaultGroupText =
    " ai type=\"ai_none\" group1=0 group2=0 zone1=0 zone2=0\n"
    "  aiflags=\n"
    " reserv auto=9 delay=0 min=0 force=0 atime=0 flag=0 zone=0 hp=100 ammo=100 expa=0 morale=50\n";

// Unit names: 0 "Tank", 1 "Rifleman", 2 "Driver", 3 "Gunner", 4 "Medic".
core::Bytes UnitNames() {
  return mapmaker::Le().Text("Tank", 16).Text("Rifleman", 16).Text("Driver", 16).Text("Gunner", 16).Text("Medic", 16);
}

// A crew record: Grp, HP, Ammo, Expa, Lives, Morale, ID (16 bits) and two unused bytes.
mapmaker::Le& Crew(mapmaker::Le& out, std::uint8_t grp, std::uint8_t hp, std::uint16_t id) {
  return out.U8(grp).U8(hp).U8(1).U8(2).U8(3).U8(4).U16(id).U16(0);
}

// A container of the given kind whose entries up to position `last` are placeholders and whose
// entry at `last` holds data: a section that ends the file, so that reading past it reaches
// the end of the stream.
core::Bytes EndingWith(format::MapKindCode kind, format::Section section, const core::Bytes& data) {
  mapmaker::ContainerBuilder container;
  const std::uint8_t last = format::SectionPosition(section, kind);
  for (std::uint8_t i = 0; i < last; ++i) container.Add("SECT" + std::to_string(i));
  container.Add("LAST", data);
  return container.Build();
}

TEST(GroupsFileTest, MultiplayerMapGetsTheDefaultGroupHundredTimes) {
  MissionSetup m(format::MultiplayerMap, mapmaker::MapBuilder(format::MultiplayerMap).Build());
  writers::WriteGroupsFile(m.c);
  std::string expected;
  for (int n = 0; n < 100; ++n) expected += "Group " + std::to_string(n) + "\n" + kDefaultGroupText;
  EXPECT_EQ(m.Text("groups"), expected);
}

TEST(GroupsFileTest, StoredGroupsAreReadInOrder) {
  std::array<std::uint8_t, records::GroupRecord::kSize> first{}, last{};
  first[0] = 2;    // ai_sold_guard
  first[6] = 17;   // group 1
  last[0] = 0x15;  // ai_tank_guard, rndmove
  last[24] = 80;   // hp
  mapmaker::Le section;
  section.Raw(core::Bytes(first.begin(), first.end()));
  for (int n = 1; n < 99; ++n) section.Fill(28, 0);
  section.Raw(core::Bytes(last.begin(), last.end()));
  for (format::MapKindCode kind : {format::SinglePlayerMap, format::CampaignMap}) {
    MissionSetup m(kind, mapmaker::MapBuilder(kind, mapmaker::MapBuilder::File::CampaignMission)
                             .Set(format::Section::Groups, section)
                             .Build());
    writers::WriteGroupsFile(m.c);
    const std::string text = m.Text("groups");
    EXPECT_EQ(text.rfind("Group 0\n" + records::ConvertGroupRecord(records::GroupRecord::Decode(first)) + "Group 1\n" +
                             records::ConvertGroupRecord(records::GroupRecord{}),
                         0),
              0u);
    const std::string tail = "Group 99\n" + records::ConvertGroupRecord(records::GroupRecord::Decode(last));
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_NE(text.find("ai type=\"ai_sold_guard\" group1=17"), std::string::npos);
  }
}

TEST(SupportFileTest, EmptyGroupsGiveSixtyFourEmptyBlocks) {
  mapmaker::Le flags;
  for (int i = 0; i < 16; ++i) flags.I32(-1).I32(3).I32(4).I32(5).I32(6);
  MissionSetup m(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap)
                                              .Set(format::Section::SupportFirst, flags)
                                              .Set(format::Section::SupportSecond, mapmaker::Le().Fill(64 * 4))
                                              .Build());
  writers::WriteSupportFile(m.c);
  std::string expected;
  for (int i = 0; i < 16; ++i) expected += "flag -1,-1,0,-1,-1\n";
  expected += "\n";
  for (int g = 0; g < 64; ++g) expected += "support \"\"\nend\n";
  EXPECT_EQ(m.Text("support"), expected);
}

TEST(SupportFileTest, GroupUnitsAreFramedAndTheirCrewHandedOverInReverse) {
  mapmaker::Le groups;
  for (int g = 0; g < 5; ++g) groups.I32(g == 2 ? -7 : 0);  // a negative count is an empty group
  groups.I32(2);
  // Unit 1: a tank (ID 0) with one passenger and two crew, in section order Rifleman, Driver, Gunner.
  groups.U8(3).U8(90).U8(50).U8(1).U8(2).U8(60).U32(0).U8(1).U8(2);
  Crew(groups, 1, 11, 1);
  Crew(groups, 2, 12, 2);
  Crew(groups, 3, 13, 3);
  // Unit 2: a medic without crew.
  groups.U8(0).U8(100).U8(0).U8(0).U8(1).U8(50).U32(4).U8(0).U8(0);
  for (int g = 6; g < 64; ++g) groups.I32(0);

  mapmaker::Le flags;
  flags.I32(5).I32(6).I32(8).I32(9).I32(7);
  for (int i = 1; i < 16; ++i) flags.I32(-1).I32(0).I32(0).I32(0).I32(0);
  MissionSetup m(format::CampaignMap,
                 mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission)
                     .Set(format::Section::UnitNames, UnitNames())
                     .Set(format::Section::SupportFirst, flags)
                     .Set(format::Section::SupportSecond, groups)
                     .Build());
  m.c.MissionRect = {10, 4, 50, 50};
  writers::WriteSupportFile(m.c);
  const std::string text = m.Text("support");
  EXPECT_EQ(text.rfind("flag 15,10,7,18,13\nflag -1,-1,0,-1,-1\n", 0), 0u) << text.substr(0, 60);
  const std::string block =
      "support \"support #5\"\n"
      " ID=Tank HP=90 Ammo=50 Expa=1 Morale=60 Lives=2 Grp=3 Crew=2 In=1 \n"
      "  ID=Gunner HP=13 Ammo=1 Expa=2 Morale=4 Lives=3 Grp=3\n"
      "  ID=Driver HP=12 Ammo=1 Expa=2 Morale=4 Lives=3 Grp=2\n"
      "  ID=Rifleman HP=11 Ammo=1 Expa=2 Morale=4 Lives=3 Grp=1\n"
      " ID=Medic HP=100 Ammo=0 Expa=0 Morale=50 Lives=1 Grp=0 Crew=0 \n"
      "end\n";
  const std::size_t at = text.find("support \"support #5\"");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(text.substr(at, block.size()), block);
  EXPECT_EQ(text.substr(at - 15, 15), "support \"\"\nend\n");
  EXPECT_EQ(text.find("support #2"), std::string::npos);
  std::size_t blocks = 0;
  for (std::size_t p = text.find("end\n"); p != std::string::npos; p = text.find("end\n", p + 1)) ++blocks;
  EXPECT_EQ(blocks, 64u);
}

TEST(SoundsFileTest, OneBlockPerCountedRecord) {
  auto sound = [](mapmaker::Le& out, const std::string& name, std::uint16_t u) {
    out.Text(name, 64).U16(u).U16(2).U16(3).F32(1.5f).U16(4).U16(5);
  };
  mapmaker::Le section;
  section.I32(2);
  sound(section, "Wind", 1);
  sound(section, "Bells", 7);
  MissionSetup m(format::SinglePlayerMap,
                 mapmaker::MapBuilder(format::SinglePlayerMap).Set(format::Section::Sounds, section).Build());
  writers::WriteSoundsFile(m.c);
  EXPECT_EQ(m.Text("sounds"),
            "Name=\"Wind\"\nU=1\nV=2\nRadius=3\nWorse=1.500000\nMinWait=4\nMaxWait=5\n\n"
            "Name=\"Bells\"\nU=7\nV=2\nRadius=3\nWorse=1.500000\nMinWait=4\nMaxWait=5\n\n");

  for (std::int32_t count : {0, -3}) {
    MissionSetup none(
        format::SinglePlayerMap,
        mapmaker::MapBuilder(format::SinglePlayerMap).Set(format::Section::Sounds, mapmaker::Le().I32(count)).Build());
    writers::WriteSoundsFile(none.c);
    EXPECT_TRUE(none.Has("sounds"));
    EXPECT_TRUE(none.File("sounds").empty());
  }
}

TEST(SoundsFileTest, CountRunningPastTheEndOfTheFileStopsThereWithAWarning) {
  mapmaker::Le records;
  records.Text("Rain", 64).U16(1).U16(1).U16(1).F32(0).U16(0).U16(0);
  records.Text("Surf", 40);  // a record cut short: its missing bytes read as zero
  MissionSetup cut(format::SinglePlayerMap,
                   EndingWith(format::SinglePlayerMap, format::Section::Sounds, mapmaker::Le().I32(2).Raw(records)));
  writers::WriteSoundsFile(cut.c);
  EXPECT_NE(cut.Text("sounds").find("Name=\"Surf\"\nU=0\n"), std::string::npos);
  EXPECT_TRUE(cut.warnings.empty());

  // Entries wholly past the end are still written, as records of zeros, up to the count...
  MissionSetup over(format::SinglePlayerMap,
                    EndingWith(format::SinglePlayerMap, format::Section::Sounds, mapmaker::Le().I32(5).Raw(records)));
  writers::WriteSoundsFile(over.c);
  const std::string zeros = "Name=\"\"\nU=0\nV=0\nRadius=0\nWorse=0.000000\nMinWait=0\nMaxWait=0\n\n";
  const std::string written = over.Text("sounds");
  ASSERT_GE(written.size(), 3 * zeros.size());
  EXPECT_EQ(written.substr(written.size() - 3 * zeros.size()), zeros + zeros + zeros);
  ASSERT_EQ(over.warnings.size(), 1u);
  EXPECT_EQ(over.warnings[0].rfind("mis.000: \"sounds\": 3 of its 5 entries", 0), 0u) << over.warnings[0];

  // ...but a count that could only come from damaged data is cut, with a warning.
  MissionSetup huge(format::SinglePlayerMap, EndingWith(format::SinglePlayerMap, format::Section::Sounds,
                                                        mapmaker::Le().I32(0x7FFFFFFF).Raw(records)));
  writers::WriteSoundsFile(huge.c);
  const std::string text = huge.Text("sounds");
  EXPECT_EQ(std::count(text.begin(), text.end(), '='), 7 * (2 + writers::kMaxRecordsPastEnd));
  ASSERT_EQ(huge.warnings.size(), 1u);
  EXPECT_NE(huge.warnings[0].find("\"sounds\" announces 2147483647 entries"), std::string::npos) << huge.warnings[0];
  EXPECT_EQ(huge.warnings[0].rfind("mis.000: ", 0), 0u);
}

// Counts of 2^31 - 1 in every counted list of a mission, in a section that ends the file: each
// list ends a fixed number of records past the bytes that remain, quickly, and scripts, which
// cannot be read as zeros, fail.
TEST(CountedListsTest, CountsOfTwoGigaEndAtTheBytesThatRemain) {
  constexpr std::int32_t kHuge = 0x7FFFFFFF;
  const auto limit = static_cast<std::size_t>(writers::kMaxRecordsPastEnd);
  const auto started = std::chrono::steady_clock::now();
  auto lines = [](const std::string& text, const std::string& start) {
    std::size_t n = 0;
    for (std::size_t at = text.find(start); at != std::string::npos; at = text.find(start, at + 1)) ++n;
    return n;
  };

  // Players: one whole record, then zero records.
  MissionSetup players(format::SinglePlayerMap, EndingWith(format::SinglePlayerMap, format::Section::Players,
                                                           mapmaker::Le().I32(kHuge).Text("Anna", 32).Fill(397 - 32)));
  writers::WritePlayersFile(players.c);
  // "Player N" heads every block, and each zero record is named "Player N+1" too.
  EXPECT_EQ(lines(players.Text("players"), "Player "), 1 + 2 * limit);
  ASSERT_EQ(players.warnings.size(), 1u);
  EXPECT_NE(players.warnings[0].find("\"players\" announces 2147483647 entries"), std::string::npos);

  // Map units: one unit whose passengers and crew (255 each) run past the end, then zero units.
  mapmaker::Le unit;
  unit.I32(kHuge).U8(1).U8(100).U8(0).U8(0).U8(1).U8(50).U16(0).U16(0).U8(255).U8(255).U16(0).U16(0).U8(0).U8(0);
  MissionSetup units(format::SinglePlayerMap, EndingWith(format::SinglePlayerMap, format::Section::MapUnits, unit));
  writers::WriteMapunitsFile(units.c);
  const std::string unitText = units.Text("mapunits");
  EXPECT_EQ(lines(unitText, "  ID="), 510u);  // crew lines
  EXPECT_EQ(lines(unitText, " ID=") - 510u, 1 + limit);
  ASSERT_EQ(units.warnings.size(), 1u);

  // Support: the first group's count is huge; the groups after it read their counts as 0.
  MissionSetup support(format::SinglePlayerMap,
                       EndingWith(format::SinglePlayerMap, format::Section::SupportSecond, mapmaker::Le().I32(kHuge)));
  writers::WriteSupportFile(support.c);
  const std::string supportText = support.Text("support");
  EXPECT_EQ(lines(supportText, "support \"support #0\"\n"), 1u);
  EXPECT_EQ(lines(supportText, "support \"\"\n"), 63u);
  EXPECT_EQ(lines(supportText, "end\n"), 64u);
  EXPECT_EQ(lines(supportText, " ID="), limit);
  ASSERT_EQ(support.warnings.size(), 1u);

  // Scripts: the first script never ends.
  MissionSetup scripts(format::SinglePlayerMap, EndingWith(format::SinglePlayerMap, format::Section::Scripts,
                                                           mapmaker::Le().I32(kHuge).U32(0).U32(0)));
  EXPECT_THROW(writers::WriteScripts2File(scripts.c), core::StreamReadError);
  EXPECT_FALSE(scripts.Has("scripts2"));

  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST(CountedRecordsTest, WalksTheCountAndNumbersTheRecords) {
  MissionSetup m(format::SinglePlayerMap, core::Bytes(40, 1));
  m.c.MissionStream.Seek(0);
  std::vector<std::int64_t> seen;
  for (writers::CountedRecords records(m.c, 3, "list"); records.Next();) seen.push_back(records.index());
  EXPECT_EQ(seen, (std::vector<std::int64_t>{0, 1, 2}));
  for (writers::CountedRecords records(m.c, -4, "list"); records.Next();) FAIL() << "a negative count means no records";
  EXPECT_TRUE(m.warnings.empty());

  m.c.MissionStream.Seek(40);  // at the end: every record lies past it
  writers::CountedRecords past(m.c, 2, "list");
  EXPECT_TRUE(past.Next());
  EXPECT_TRUE(past.Next());
  EXPECT_FALSE(past.Next());
  EXPECT_FALSE(past.Next());
  EXPECT_EQ(m.warnings.size(), 1u);  // warned once
}

core::Bytes Player(const std::string& name, std::uint8_t team) {
  return mapmaker::Le().Text(name, 32).U8(team).Fill(397 - 33);
}

TEST(PlayersFileTest, NamesThatDoNotBeginWithALetterAreReplaced) {
  const core::Bytes section = mapmaker::Le()
                                  .I32(4)
                                  .Raw(Player("Anna", 1))
                                  .Raw(Player("7th Army", 2))
                                  .Raw(Player("", 3))
                                  .Raw(Player("\xC9lise", 4));
  MissionSetup m(format::SinglePlayerMap,
                 mapmaker::MapBuilder(format::SinglePlayerMap).Set(format::Section::Players, section).Build());
  writers::WritePlayersFile(m.c);
  const std::string text = m.Text("players");
  EXPECT_EQ(text.rfind("Player 0\n name=\"Anna\"\n team=1\n", 0), 0u);
  EXPECT_NE(text.find("Player 1\n name=\"Player 2\"\n team=2\n"), std::string::npos);
  EXPECT_NE(text.find("Player 2\n name=\"Player 3\"\n team=3\n"), std::string::npos);
  EXPECT_NE(text.find("Player 3\n name=\"Player 4\"\n team=4\n"), std::string::npos);
  EXPECT_EQ(text.find("Player 4\n"), std::string::npos);  // four headers, Player 0 to Player 3
}

TEST(PlayersFileTest, MultiplayerPlayersAreAlwaysNumbered) {
  const core::Bytes section = mapmaker::Le().I32(2).Raw(Player("Anna", 0)).Raw(Player("Boris", 1));
  MissionSetup m(format::MultiplayerMap,
                 mapmaker::MapBuilder(format::MultiplayerMap).Set(format::Section::Players, section).Build());
  writers::WritePlayersFile(m.c);
  const std::string text = m.Text("players");
  EXPECT_EQ(text.rfind("Player 0\n name=\"Player 1\"\n", 0), 0u);
  EXPECT_NE(text.find("Player 1\n name=\"Player 2\"\n"), std::string::npos);
  EXPECT_EQ(text.find("Anna"), std::string::npos);
  EXPECT_EQ(text.find("Boris"), std::string::npos);
}

TEST(PlayersFileTest, FixedNameIsZeroEndedInsideItsFieldAndTheRestStays) {
  std::array<std::uint8_t, records::PlayerRecord::kSize> record;
  for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(i % 200 + 40);
  record[0] = '9';
  const auto before = record;
  writers::FixPlayerName(record, 11, format::CampaignMap);
  EXPECT_EQ(core::FixedText(std::span(record).first(32)), "Player 12");
  EXPECT_EQ(record[9], 0);
  EXPECT_TRUE(std::equal(record.begin() + 32, record.end(), before.begin() + 32));

  record[0] = 'z';
  const auto lettered = record;
  writers::FixPlayerName(record, 0, format::SinglePlayerMap);
  EXPECT_EQ(record, lettered);
}

TEST(MapunitsFileTest, UnitsArePlacedByTheMissionCornerWithCrewReversed) {
  mapmaker::Le section;
  section.I32(2);
  // Grp, HP, Ammo, Expa, Lives, Morale, ID, unused, In, Crew, U, V, Dir, Owner.
  section.U8(4).U8(100).U8(80).U8(2).U8(1).U8(70).U16(0).U16(0xFFFF).U8(1).U8(2).U16(100).U16(50).U8(3).U8(1);
  Crew(section, 1, 11, 1);
  Crew(section, 2, 12, 2);
  Crew(section, 3, 13, 3);
  section.U8(0).U8(60).U8(0).U8(0).U8(1).U8(50).U16(4).U16(0).U8(0).U8(0).U16(0).U16(0).U8(0).U8(2);
  MissionSetup m(format::CampaignMap,
                 mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission)
                     .Set(format::Section::UnitNames, UnitNames())
                     .Set(format::Section::MapUnits, section)
                     .Build());
  m.c.MissionRect = {10, 4, 60, 60};
  writers::WriteMapunitsFile(m.c);
  EXPECT_EQ(m.Text("mapunits"),
            " ID=Tank HP=100 Ammo=80 Expa=2 Morale=70 Lives=1 Grp=4 Crew=2 In=1 U=420 V=178 Dir=3 Owner=1 \n"
            "  ID=Gunner HP=13 Ammo=1 Expa=2 Morale=4 Lives=3 Grp=3\n"
            "  ID=Driver HP=12 Ammo=1 Expa=2 Morale=4 Lives=3 Grp=2\n"
            "  ID=Rifleman HP=11 Ammo=1 Expa=2 Morale=4 Lives=3 Grp=1\n"
            " ID=Medic HP=60 Ammo=0 Expa=0 Morale=50 Lives=1 Grp=0 Crew=0 U=320 V=128 Dir=0 Owner=2 \n");
}

// A script: the 8-byte head, then items; `end` closes it.
mapmaker::Le& Script(mapmaker::Le& out, std::initializer_list<std::uint32_t> items) {
  out.U32(0).U32(0);
  for (std::uint32_t item : items) out.U32(item);
  return out.U32(0xFFFF);
}

TEST(Scripts2FileTest, EveryCountedScriptGetsItsBlock) {
  mapmaker::Le section;
  section.I32(2);
  Script(section, {});
  Script(section, {0x00010000, 13});  // stpt with the value 0
  MissionSetup m(format::SinglePlayerMap,
                 mapmaker::MapBuilder(format::SinglePlayerMap).Set(format::Section::Scripts, section).Build());
  writers::WriteScripts2File(m.c);
  EXPECT_EQ(m.Text("scripts2"),
            "script \"Script 00\" size 5\n$END\n\r\n"
            "script \"Script 01\" size 17\n$stpt\n$Tr\n#\n$END\n\r\n");
}

TEST(Scripts2FileTest, KeywordSetFollowsTheGameVersion) {
  mapmaker::Le section;
  section.I32(1);
  Script(section, {0x00010001, 0x00010002, 0x00010003, 0x00010004, 5});  // ugl
  const core::Bytes container =
      mapmaker::MapBuilder(format::SinglePlayerMap).Set(format::Section::Scripts, section).Build();
  MissionSetup older(format::SinglePlayerMap, container), newer(format::SinglePlayerMap, container);
  older.c.GameVersionKind = format::GameVersionKind::OlderKeywords;
  newer.c.GameVersionKind = format::GameVersionKind::CurrentKeywords;
  writers::WriteScripts2File(older.c);
  writers::WriteScripts2File(newer.c);
  EXPECT_EQ(older.Text("scripts2").find("$sp_l\n"), std::string::npos);
  EXPECT_NE(newer.Text("scripts2").find("$sp_l\n"), std::string::npos);
}

TEST(Scripts2FileTest, ScriptPastTheEndOfTheFileFailsAndNegativeCountIsEmpty) {
  mapmaker::Le section;
  section.I32(2);
  Script(section, {});
  MissionSetup m(format::SinglePlayerMap, EndingWith(format::SinglePlayerMap, format::Section::Scripts, section));
  EXPECT_THROW(writers::WriteScripts2File(m.c), core::StreamReadError);  // the second script never ends
  EXPECT_FALSE(m.Has("scripts2"));

  MissionSetup none(
      format::SinglePlayerMap,
      mapmaker::MapBuilder(format::SinglePlayerMap).Set(format::Section::Scripts, mapmaker::Le().I32(-1)).Build());
  writers::WriteScripts2File(none.c);
  EXPECT_TRUE(none.File("scripts2").empty());
}

}  // namespace
}  // namespace kartwerk

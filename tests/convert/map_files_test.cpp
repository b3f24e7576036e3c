#include "convert/writers/airfields_file.hpp"
#include "convert/writers/cflags_file.hpp"
#include "convert/writers/map_header_files.hpp"
#include "convert/writers/objects_file.hpp"
#include "convert/writers/rhombs_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>

#include "convert/records/cliff_data.hpp"
#include "core/errors.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::ContainerBuilder;
using mapmaker::Le;
using mapmaker::MapBuilder;
using mapmaker::ReadBytes;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;

// A conversion of the given container, loaded from a file the way the slot picker loads it,
// with its slot folder inside the scratch folder.
class MapFilesTest : public ::testing::Test {
 protected:
  format::Conversion& Load(format::MapKindCode kind, const core::Bytes& container, const std::string& mapName = "map") {
    const auto file = scratch_ / ("container" + std::to_string(loads_++));
    mapmaker::WriteBytes(file, container);
    c_.MapKind = kind;
    c_.MapName = mapName;
    c_.SlotFolder = scratch_ / "slot";
    std::filesystem::create_directories(c_.SlotFolder);
    format::LoadSectionDirectory(c_, file);
    return c_;
  }
  core::Bytes Slot(const std::string& name) const { return mapmaker::ReadBytes(c_.SlotFolder / name); }
  std::string SlotText(const std::string& name) const {
    const core::Bytes b = Slot(name);
    return std::string(b.begin(), b.end());
  }
  // Writes info, then the four worker steps in their order.
  void WriteAll() {
    writers::WriteMapInfoFile(c_);
    writers::WriteAirfieldsFile(c_);
    writers::WriteObjectsFile(c_);
    writers::WriteRhombsFile(c_);
    writers::WriteCflagsFile(c_);
  }

  mapmaker::ScratchFolder scratch_;
  format::Conversion c_;
  int loads_ = 0;
};

core::Bytes Names(std::initializer_list<std::string> names) {
  mapmaker::Le table;
  for (const auto& n : names) table.Text(n, 16);
  return table;
}

core::Bytes ObjectBytes(std::uint16_t x, std::uint16_t y, std::uint8_t nameIndex, std::uint16_t variant,
                        std::uint8_t attrByte = 0, std::uint16_t attrWord = 0) {
  return mapmaker::Le().U16(x).U16(y).U8(nameIndex).U8(attrByte).U16(attrWord).U16(variant);
}

// ---- desc ----

TEST_F(MapFilesTest, CampaignTitleIsTheNumberOfItsName) {
  Load(format::CampaignMap, mapmaker::MapBuilder(format::CampaignMap).Build(), "012");
  writers::WriteMapDescFile(c_);
  EXPECT_EQ(SlotText("desc"), "Campaign 12");
  EXPECT_EQ(Slot("desc").size(), 11u);
}

TEST_F(MapFilesTest, SinglePlayerTitleIsTheMapNameWithoutLineEnd) {
  Load(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap).Build(), "Bridge at Ilmen \x99");
  writers::WriteMapDescFile(c_);
  EXPECT_EQ(SlotText("desc"), "Bridge at Ilmen \x99");
}

TEST_F(MapFilesTest, TitleIsAtMost255Bytes) {
  Load(format::MultiplayerMap, mapmaker::MapBuilder(format::MultiplayerMap).Build(), std::string(300, 'x'));
  writers::WriteMapDescFile(c_);
  EXPECT_EQ(SlotText("desc"), std::string(255, 'x'));
}

// A map's name comes from its file name (UTF-8); the editor reads its title in Windows-1252.
TEST_F(MapFilesTest, TitleIsTheNameInTheEditorsCodePageWarningOnceForWhatItCannotHold) {
  struct Case {
    std::string name;
    std::string desc;
    bool warns;
  };
  const Case cases[] = {
      {"\xC3\x9C"
       "bersicht",
       "\xDC"
       "bersicht",
       false},
      {"Caf\xC3\xA9 \xE2\x82\xAC \xE2\x84\xA2", "Caf\xE9 \x80 \x99", false},
      {"\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       "?\xF3"
       "d?",
       true},                                                     // no best fit: "Ł" is not "L"
      {"Map \xF0\x9F\x97\xBA \xE2\x80\xA6", "Map ? \x85", true},  // one "?" a character
      {"Ra\xE9ume", "Ra\xE9ume", false},                          // a single-byte file name as it is
      {std::string(254, 'x') + "\xC3\xA9\xC3\xA9", std::string(254, 'x') + "\xE9", false},
  };
  for (const Case& test : cases) {
    Load(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap).Build(), test.name);
    std::vector<std::string> warnings;
    c_.Warn = [&](const std::string& w) { warnings.push_back(w); };
    writers::WriteMapDescFile(c_);
    EXPECT_EQ(SlotText("desc"), test.desc) << test.name;
    ASSERT_EQ(warnings.size(), test.warns ? 1u : 0u) << test.name;
    if (test.warns) {
      EXPECT_NE(warnings[0].find(test.name), std::string::npos) << warnings[0];
    }
  }
}

TEST_F(MapFilesTest, CampaignNameThatIsNoNumberFailsAndKeepsTheOldTitle) {
  Load(format::CampaignMap, mapmaker::MapBuilder(format::CampaignMap).Build(), "c1x");
  mapmaker::WriteBytes(c_.SlotFolder / "desc", mapmaker::Le().Text("old", 3));
  EXPECT_THROW(writers::WriteMapDescFile(c_), core::IntegerConversionError);
  EXPECT_EQ(SlotText("desc"), "old");
}

// ---- info ----

TEST_F(MapFilesTest, InfoIsFourZerosAndTheFirst12BytesOfTheMapInformation) {
  Load(format::SinglePlayerMap,
       mapmaker::MapBuilder(format::SinglePlayerMap)
           .Set(format::Section::MapInformation, mapmaker::Le().U32(2).I32(160).I32(160).U32(0xDDDDDDDD))
           .Build());
  writers::WriteMapInfoFile(c_);
  EXPECT_EQ(Slot("info"), (core::Bytes{0, 0, 0, 0, 2, 0, 0, 0, 0xA0, 0, 0, 0, 0xA0, 0, 0, 0}));
  EXPECT_EQ(c_.MapInfoRecord.TerrainScheme, 2u);
  EXPECT_EQ(c_.MapInfoRecord.width, 160);
  EXPECT_EQ(c_.MapInfoRecord.height, 160);
}

TEST_F(MapFilesTest, MultiplayerInfoComesFromTheSecondEntry) {
  Load(format::MultiplayerMap, mapmaker::MapBuilder(format::MultiplayerMap).MapInfo(1, 96, 64).Build());
  writers::WriteMapInfoFile(c_);
  EXPECT_EQ(Slot("info"), (core::Bytes{0, 0, 0, 0, 1, 0, 0, 0, 96, 0, 0, 0, 64, 0, 0, 0}));
  EXPECT_EQ(c_.MapInfoRecord.width, 96);
}

TEST_F(MapFilesTest, ShortMapInformationReadsZeros) {
  mapmaker::ContainerBuilder container;
  container.Add("MAPINFO", mapmaker::Le().U32(1).U16(0x40));  // the file ends inside the width
  Load(format::SinglePlayerMap, container.Build());
  writers::WriteMapInfoFile(c_);
  EXPECT_EQ(Slot("info"), (core::Bytes{0, 0, 0, 0, 1, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(c_.MapInfoRecord.width, 0x40);
  EXPECT_EQ(c_.MapInfoRecord.height, 0);
}

// ---- airfields ----

TEST_F(MapFilesTest, AirfieldsAreCopiedByteForByte) {
  const core::Bytes airfields = mapmaker::Le().U32(7).Text("Nordfeld", 20).U16(0xFFFF);
  Load(format::MultiplayerMap,
       mapmaker::MapBuilder(format::MultiplayerMap).Set(format::Section::Airfields, airfields).Build());
  writers::WriteAirfieldsFile(c_);
  EXPECT_EQ(Slot("airfields"), airfields);
}

TEST_F(MapFilesTest, EmptyAirfieldsSectionGivesAnEmptyFile) {
  Load(format::SinglePlayerMap,
       mapmaker::MapBuilder(format::SinglePlayerMap).Set(format::Section::Airfields, {}).Build());
  mapmaker::WriteBytes(c_.SlotFolder / "airfields", {1, 2, 3});
  writers::WriteAirfieldsFile(c_);
  EXPECT_TRUE(std::filesystem::exists(c_.SlotFolder / "airfields"));
  EXPECT_TRUE(Slot("airfields").empty());
}

TEST_F(MapFilesTest, AirfieldsRunningPastTheEndAreAReadError) {
  mapmaker::ContainerBuilder container;  // a campaign's main file whose airfields entry is the last
  for (int i = 0; i < 6; ++i) container.Add("S" + std::to_string(i), core::Bytes(4, 0));
  container.AddRaw(mapmaker::Le().Text("AIRF", 12), 100, core::Bytes(30, 1));
  Load(format::CampaignMap, container.Build(), "001");
  // The copy from an earlier conversion is gone, so nothing passes for this run's output.
  mapmaker::WriteBytes(c_.SlotFolder / "airfields", {1, 2, 3});
  EXPECT_THROW(writers::WriteAirfieldsFile(c_), core::StreamReadError);
  EXPECT_FALSE(std::filesystem::exists(c_.SlotFolder / "airfields"));
}

// ---- objects ----

TEST_F(MapFilesTest, ObjectLinesInSectionOrderRemainderIgnored) {
  core::Bytes objects =
      mapmaker::Le().Raw(ObjectBytes(1000, 2000, 1, 3, 1, 0)).Raw(ObjectBytes(65535, 0, 0, 0, 255, 65535));
  objects.insert(objects.end(), {9, 9, 9, 9, 9, 9, 9});  // 7 bytes: not a record
  Load(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap)
                                    .MapInfo(0, 10, 10)
                                    .Set(format::Section::ObjectNames, Names({"tree", "house"}))
                                    .Set(format::Section::Objects, objects)
                                    .Build());
  WriteAll();
  EXPECT_EQ(SlotText("objects"), "house 1000 2000 3 1 0\ntree 65535 0 0 255 65535\n");
}

TEST_F(MapFilesTest, MapWithoutObjectsLeavesAnEmptyFileAndAClearGrid) {
  Load(format::SinglePlayerMap,
       mapmaker::MapBuilder(format::SinglePlayerMap).MapInfo(0, 12, 7).Set(format::Section::Objects, {}).Build());
  c_.CliffGrid.assign(5, 3);  // left over from an earlier map
  writers::WriteMapInfoFile(c_);
  writers::WriteObjectsFile(c_);
  EXPECT_TRUE(Slot("objects").empty());
  EXPECT_EQ(c_.CliffGrid, core::Bytes(12 * 7, 0));
}

TEST_F(MapFilesTest, ObjectRecordsFollowThePreviewEntriesButCountFromTheObjectsEntry) {
  // The objects entry (position 8) claims two records; the data is read MiniEntryCount = 2
  // entries further on, where three records lie.
  const core::Bytes counted = core::Bytes(20, 0xAA);
  const core::Bytes shifted =
      mapmaker::Le().Raw(ObjectBytes(1, 2, 0, 0)).Raw(ObjectBytes(3, 4, 1, 0)).Raw(ObjectBytes(5, 6, 1, 0));
  mapmaker::MapBuilder map(format::SinglePlayerMap);
  map.MapInfo(0, 4, 4).Set(format::Section::ObjectNames, Names({"a", "b"})).Set(format::Section::Objects, counted);
  map.InsertAt(9, "P-MINI1", {}).InsertAt(10, "P-MINI2", shifted);
  Load(format::SinglePlayerMap, map.Build());
  ASSERT_EQ(c_.MiniEntryCount, 2);
  WriteAll();
  EXPECT_EQ(SlotText("objects"), "a 1 2 0 0 0\nb 3 4 0 0 0\n");
}

TEST_F(MapFilesTest, ShiftedObjectsEntryPastTheLastEntryMeansNoObjects) {
  // A campaign's main file ends with its objects entry; two previews push the data past it.
  mapmaker::ContainerBuilder container;
  container.Add("MAPINFO", mapmaker::Le().U32(0).I32(4).I32(4));
  container.Add("P-MINI1", Names({"a"}));
  for (int i = 2; i < 7; ++i) container.Add("S" + std::to_string(i), core::Bytes(4, 0));
  container.Add("P-MINI2", ObjectBytes(32, 32, 0, 0));
  Load(format::CampaignMap, container.Build(), "004");
  ASSERT_EQ(c_.MiniEntryCount, 2);
  WriteAll();
  EXPECT_TRUE(Slot("objects").empty());
}

TEST_F(MapFilesTest, ObjectRecordsPastTheEndOfTheContainerReadAsZeros) {
  // The last entry announces 100 records but holds one and a half: the half record and the
  // 98 records past the end read zero-filled (name index 0), and a warning says so.
  mapmaker::ContainerBuilder container;
  container.Add("MAPINFO", mapmaker::Le().U32(0).I32(4).I32(4));
  container.Add("NAMES", Names({"a", "b"}));
  for (int i = 2; i < 7; ++i) container.Add("S" + std::to_string(i), {});
  core::Bytes data = ObjectBytes(64, 96, 1, 2);
  data.insert(data.end(), {0x10, 0x00, 0x20, 0x00, 0x01});
  container.AddRaw(mapmaker::Le().Text("OBJECTS", 12), 1000, data);
  Load(format::CampaignMap, container.Build(), "004");
  std::vector<std::string> warnings;
  c_.Warn = [&](const std::string& w) { warnings.push_back(w); };
  WriteAll();
  std::string expected = "b 64 96 2 0 0\nb 16 32 0 0 0\n";
  for (int i = 0; i < 98; ++i) expected += "a 0 0 0 0 0\n";
  EXPECT_EQ(SlotText("objects"), expected);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "\"objects\": 98 of its 100 entries lie past the end of the map file and read as zeros");
}

TEST_F(MapFilesTest, ARunawayCountIsCutAfter4096RecordsPastTheEnd) {
  // A cut map file whose last section, the terrain of a single-player map, claims 2 GB.
  mapmaker::ContainerBuilder container;
  container.Add("MAPINFO", mapmaker::Le().U32(0).I32(8).I32(8));
  container.Add("S1", {});
  container.Add("S2", {});
  container.AddRaw(mapmaker::Le().Text("RHOMBS", 12), 0x7FFFFFFF,
                   mapmaker::Le().U16(13).U16(1).U16(14));  // one and a half records
  Load(format::SinglePlayerMap, container.Build());
  std::vector<std::string> warnings;
  c_.Warn = [&](const std::string& w) { warnings.push_back(w); };
  writers::WriteMapInfoFile(c_);
  writers::WriteRhombsFile(c_);
  const core::Bytes rhombs = Slot("rhombs");
  ASSERT_EQ(rhombs.size(), 8u * (2 + 4096));
  EXPECT_EQ(core::Bytes(rhombs.begin(), rhombs.begin() + 16),
            (core::Bytes{2, 2, 0, 0, 16, 0, 13, 0, 2, 2, 0, 0, 0, 0, 14, 0}));
  EXPECT_EQ(core::Bytes(rhombs.end() - 8, rhombs.end()), core::Bytes(8, 0));
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0],
            "\"rhombs\" announces 536870911 entries, but the map file ends after 2; 4096 more are written as zeros and "
            "the rest left out");
}

// Counts of 2^31 - 1 records (a stored size of 0x7FFFFFFF in the entry that ends the file), for
// the objects and the first cell-flag section: each list ends a fixed number of records past the
// bytes the file holds, quickly, and says so.
TEST_F(MapFilesTest, SizesOfTwoGigabytesEndAtTheBytesThatRemain) {
  const auto started = std::chrono::steady_clock::now();
  {
    mapmaker::ContainerBuilder container;  // a single-player map whose objects entry is the last
    container.Add("MAPINFO", mapmaker::Le().U32(0).I32(64).I32(64));
    container.Add("S1", {});
    container.Add("NAMES", Names({"tree", "cliff"}));
    for (int i = 3; i < 8; ++i) container.Add("S" + std::to_string(i), {});
    container.AddRaw(mapmaker::Le().Text("OBJECTS", 12), 0x7FFFFFFF,
                     mapmaker::Le().Raw(ObjectBytes(64, 64, 1, 0)).Raw(ObjectBytes(0, 0, 0, 0)));
    Load(format::SinglePlayerMap, container.Build());
    std::vector<std::string> warnings;
    c_.Warn = [&](const std::string& w) { warnings.push_back(w); };
    WriteAll();
    const std::string objects = SlotText("objects");
    EXPECT_EQ(std::count(objects.begin(), objects.end(), '\n'), 2 + 4096);
    EXPECT_EQ(objects.rfind("cliff 64 64 0 0 0\ntree 0 0 0 0 0\n", 0), 0u);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("\"objects\" announces 214748364 entries"), std::string::npos) << warnings[0];
    EXPECT_EQ(c_.CliffGrid.size(), 64u * 64u);
  }
  {
    mapmaker::ContainerBuilder container;  // a campaign's main file whose first cell-flag section is the last
    container.Add("MAPINFO", mapmaker::Le().U32(0).I32(2).I32(2));
    container.Add("NAMES", {});
    container.Add("RHOMBS", {});
    container.AddRaw(mapmaker::Le().Text("CF4", 12), 0x7FFFFFFF,
                     mapmaker::Le().U8(0x35).U8(0x98).U16(0).U8(0x35).U8(0x98));
    Load(format::CampaignMap, container.Build(), "001");
    std::vector<std::string> warnings;
    c_.Warn = [&](const std::string& w) { warnings.push_back(w); };
    WriteAll();
    const core::Bytes cflags = Slot("cflags");
    ASSERT_EQ(cflags.size(), 2u * (2 + 4096));
    EXPECT_EQ(core::Bytes(cflags.begin(), cflags.begin() + 4), (core::Bytes{0x12, 0x40, 0x12, 0x40}));
    EXPECT_EQ(core::Bytes(cflags.end() - 2, cflags.end()), (core::Bytes{0x40, 0x00}));  // a zero record
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("\"cflags\" announces 536870911 entries"), std::string::npos) << warnings[0];
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST_F(MapFilesTest, CflagsRecordsPastTheEndAreZeroRecords) {
  mapmaker::ContainerBuilder container;  // campaign main file cut inside its first cell-flag section
  container.Add("MAPINFO", mapmaker::Le().U32(0).I32(2).I32(2));
  container.Add("NAMES", {});
  container.Add("RHOMBS", {});
  container.AddRaw(mapmaker::Le().Text("CF4", 12), 16, mapmaker::Le().U8(0x35).U8(0x98));
  Load(format::CampaignMap, container.Build(), "001");
  WriteAll();
  // A zero record has bit 7 of byte 1 clear: bit 6.
  EXPECT_EQ(Slot("cflags"), (core::Bytes{0x12, 0x40, 0x40, 0x00, 0x40, 0x00, 0x40, 0x00}));
}

TEST_F(MapFilesTest, CliffObjectsMarkTheGridThatCflagsReads) {
  // A 3 x 3 map whose cell (1, 1) holds a cliff object; mask 0 puts mark 3 on the object's
  // cell and 1 on the cell to its right.
  core::Bytes masks(49, 0);
  masks[3 * 7 + 3] = 3;
  masks[3 * 7 + 4] = 1;
  mapmaker::Le cf4;
  for (int cell = 0; cell < 9; ++cell) cf4.U8(0x35).U8(0x98).U16(0);
  core::Bytes cf1(9, 0);
  cf1[4] = 1;
  const core::Bytes cf2 = mapmaker::Le().Fill(8).U16(0x0A00).Fill(8);
  Load(format::SinglePlayerMap,
       mapmaker::MapBuilder(format::SinglePlayerMap)
           .MapInfo(0, 3, 3)
           .Set(format::Section::ObjectNames, Names({"a", "b", "c", "d", "e", "f", "g", "h", "cliff"}))
           .Set(format::Section::Objects, ObjectBytes(32 + 5, 32 + 31, 8, 0))
           .Set(format::Section::CellFlags4, cf4)
           .Set(format::Section::CellFlags1, cf1)
           .Set(format::Section::CellFlags2, cf2)
           .Build());
  c_.CliffDataBuffer = std::make_shared<const core::Bytes>(masks);
  WriteAll();
  EXPECT_EQ(SlotText("objects"), "cliff 37 63 0 0 0\n");
  EXPECT_EQ(c_.CliffGrid, (core::Bytes{0, 0, 0, 0, 3, 1, 0, 0, 0}));
  const core::Bytes cflags = Slot("cflags");
  ASSERT_EQ(cflags.size(), 18u);
  auto word = [&](int cell) { return cflags[2 * cell] | (cflags[2 * cell + 1] << 8); };
  EXPECT_EQ(word(0), 0x4012);
  EXPECT_EQ(word(4), 0x4022 | 0x0200 | 0x2800);  // mark 3, section 2's 1, section 3's 0x0A00
  EXPECT_EQ(word(5), 0x4002);                    // mark 1 cancels bits 4-5
  EXPECT_EQ(word(8), 0x4012);
}

// ---- rhombs ----

TEST_F(MapFilesTest, RhombsFollowTheTerrainScheme) {
  const core::Bytes terrain = mapmaker::Le().U16(100).U16(3).U16(80).U16(20).U8(7);  // two records and a stray byte
  for (std::uint32_t scheme : {0u, 1u, 2u, 3u}) {
    Load(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap)
                                      .MapInfo(scheme, 2, 1)
                                      .Set(format::Section::TerrainRhombs, terrain)
                                      .Build());
    writers::WriteMapInfoFile(c_);
    writers::WriteRhombsFile(c_);
    const core::Bytes rhombs = Slot("rhombs");
    if (scheme == 0) {
      EXPECT_EQ(rhombs, (core::Bytes{0x00, 0x03, 0x08, 0x00, 0x30, 0x00, 0x64, 0x00,     // 100: class 3, shape 8
                                     0x03, 0x03, 0x09, 0x00, 0x40, 0x01, 0x50, 0x00}));  // 80: class 3, shape 9
    } else if (scheme <= 2) {
      EXPECT_EQ(rhombs, (core::Bytes{0x06, 0x06, 0x0A, 0x00, 0x30, 0x00, 0x64, 0x00,    // 100: class 6, shape 10
                                     0x07, 0x06, 0x01, 0x00, 0x40, 0x01, 0x50, 0x00}))  // 80: class 6, shape 1
          << "scheme " << scheme;
    } else {
      EXPECT_TRUE(rhombs.empty());
    }
  }
}

TEST_F(MapFilesTest, CampaignTerrainSectionIsTheThirdEntry) {
  Load(format::CampaignMap,
       mapmaker::MapBuilder(format::CampaignMap)
           .MapInfo(0, 1, 1)
           .Set(format::Section::TerrainRhombs, mapmaker::Le().U16(26).U16(31))
           .Build(),
       "001");
  writers::WriteMapInfoFile(c_);
  writers::WriteRhombsFile(c_);
  EXPECT_EQ(Slot("rhombs"), (core::Bytes{2, 2, 9, 0, 0xF0, 1, 26, 0}));
}

// ---- cflags ----

TEST_F(MapFilesTest, CflagsHasOneWordPerWholeRecordOfTheFirstSection) {
  Load(format::MultiplayerMap,
       mapmaker::MapBuilder(format::MultiplayerMap)
           .MapInfo(0, 2, 1)
           .Set(format::Section::CellFlags4, mapmaker::Le().U32(0x00009835).U32(0x00000000).U16(0xFFFF))
           .Set(format::Section::CellFlags1, {0, 1, 1, 1})                // longer than section 1
           .Set(format::Section::CellFlags2, mapmaker::Le().U16(0x0A00))  // shorter
           .Build());
  WriteAll();
  EXPECT_EQ(Slot("cflags"), (core::Bytes{0x12, 0x68, 0x40, 0x02}));
}

TEST_F(MapFilesTest, CflagsRecordsBeyondTheGridAreUnmarked) {
  core::Bytes masks(49, 3);
  mapmaker::ContainerBuilder container;
  container.Add("MAPINFO", mapmaker::Le().U32(0).I32(1).I32(1));
  container.Add("NAMES", Names({"a", "b", "c", "d", "e", "f", "g", "h", "cliff"}));
  container.Add("RHOMBS", {});
  container.Add("CF4", mapmaker::Le().U32(0x8000).U32(0x8000).U32(0x8000));  // three cells on a 1 x 1 map
  container.Add("CF1", {});
  container.Add("CF2", {});
  container.Add("AIRF", {});
  container.Add("OBJECTS", ObjectBytes(0, 0, 8, 0));
  Load(format::CampaignMap, container.Build(), "001");
  c_.CliffDataBuffer = std::make_shared<const core::Bytes>(masks);
  WriteAll();
  EXPECT_EQ(c_.CliffGrid, core::Bytes{3});
  EXPECT_EQ(Slot("cflags"), (core::Bytes{0x30, 0, 0, 0, 0, 0}));
}

TEST_F(MapFilesTest, EveryFileIsWrittenForAnEmptyContainer) {
  Load(format::SinglePlayerMap, core::Bytes(8, 0));
  writers::WriteMapDescFile(c_);
  WriteAll();
  for (const char* name : {"desc", "info", "airfields", "objects", "rhombs", "cflags"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(c_.SlotFolder / name)) << name;
  }
  EXPECT_EQ(Slot("info"), core::Bytes(16, 0));
  EXPECT_TRUE(Slot("objects").empty());
  EXPECT_TRUE(Slot("cflags").empty());
}

TEST_F(MapFilesTest, AMissingSlotFolderIsAFileError) {
  Load(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap).Build());
  c_.SlotFolder = scratch_ / "no" / "such" / "slot";
  EXPECT_THROW(writers::WriteMapInfoFile(c_), core::FileCreateError);
}

TEST_F(MapFilesTest, TheInstalledMasksStampCliffs) {
  // The masks built beside the executable give every cliff variant a face on its own cell.
  const auto masks = records::LoadCliffData(std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata");
  core::Bytes objects;
  for (std::uint16_t v = 0; v < 56; ++v) {
    const core::Bytes one = ObjectBytes(static_cast<std::uint16_t>((v % 8) * 8 * 32 + 100),
                                        static_cast<std::uint16_t>((v / 8) * 8 * 32 + 100), 8, v);
    objects.insert(objects.end(), one.begin(), one.end());
  }
  Load(format::SinglePlayerMap,
       mapmaker::MapBuilder(format::SinglePlayerMap)
           .MapInfo(0, 64, 56)
           .Set(format::Section::ObjectNames, Names({"a", "b", "c", "d", "e", "f", "g", "h", "cliff"}))
           .Set(format::Section::Objects, objects)
           .Build());
  c_.CliffDataBuffer = masks;
  WriteAll();
  for (std::uint16_t v = 0; v < 56; ++v) {
    const int cx = (v % 8) * 8 + 3, cy = (v / 8) * 8 + 3;
    EXPECT_EQ(c_.CliffGrid[static_cast<std::size_t>(cy * 64 + cx)], 3) << "variant " << v;
  }
}

TEST_F(MapFilesTest, ImplausibleContainersAreReadOnlyAsFarAsTheyGo) {
  // Random containers with sizes that lie (negative, huge, past the end), random map sizes
  // and preview entries: every writer finishes, or the airfields copy reports the short
  // section, and no output outgrows what the container holds.
  std::mt19937 random(20240611);
  auto pick = [&](std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(random); };
  const std::int32_t lies[] = {0, -1, -40, 0x7FFFFFFF, 1 << 20, 3, 10, 17};
  for (int round = 0; round < 200; ++round) {
    mapmaker::ContainerBuilder container;
    const std::uint32_t entries = pick(40);
    for (std::uint32_t i = 0; i < entries; ++i) {
      core::Bytes data(pick(64), 0);
      for (auto& b : data) b = static_cast<std::uint8_t>(pick(256));
      if (i == 0 && pick(2))
        data = mapmaker::Le()
                   .U32(pick(4))
                   .I32(pick(3) ? static_cast<std::int32_t>(pick(300)) : lies[pick(8)])
                   .I32(pick(3) ? static_cast<std::int32_t>(pick(300)) : lies[pick(8)]);
      const std::string name = pick(4) == 0 ? "P-MINI" + std::to_string(1 + pick(4)) : "S" + std::to_string(i);
      // Only the last entry can lie about its size without hiding the entries after it.
      const bool lie = i + 1 == entries && pick(2);
      container.AddRaw(mapmaker::Le().Text(name, 12), lie ? lies[pick(8)] : static_cast<std::int32_t>(data.size()),
                       data);
    }
    const core::Bytes bytes = container.Build();
    const auto kind = static_cast<format::MapKindCode>(pick(3));
    Load(kind, bytes, "007");
    c_.CliffDataBuffer = std::make_shared<const core::Bytes>(core::Bytes(49 * 3, 3));
    writers::WriteMapDescFile(c_);
    writers::WriteMapInfoFile(c_);
    try {
      writers::WriteAirfieldsFile(c_);
    } catch (const core::StreamReadError&) {
    }
    writers::WriteObjectsFile(c_);
    writers::WriteRhombsFile(c_);
    writers::WriteCflagsFile(c_);
    const std::size_t past = 4096;
    EXPECT_LE(c_.CliffGrid.size(), std::max<std::size_t>(2051 * 2051, bytes.size())) << "round " << round;
    EXPECT_LE(Slot("rhombs").size(), 8 * (bytes.size() / 4 + 1 + past)) << "round " << round;
    EXPECT_EQ(Slot("rhombs").size() % 8, 0u);
    EXPECT_LE(Slot("cflags").size(), 2 * (bytes.size() / 4 + 1 + past)) << "round " << round;
    EXPECT_LE(Slot("objects").size(), 47 * (bytes.size() / 10 + 1 + past)) << "round " << round;
  }
}

}  // namespace
}  // namespace kartwerk

// The mission files that are raw records or byte copies: info, desc and picture, the two grids,
// phrases2, objs, mismult and misdesc.
#include "convert/writers/mission_grid_files.hpp"
#include "convert/writers/mission_info_files.hpp"
#include "convert/writers/mission_section_files.hpp"

#include <gtest/gtest.h>

#include "core/errors.hpp"
#include "tests/support/mission_setup.hpp"

namespace kartwerk {
namespace {

using mapmaker::Le;
using mapmaker::MapBuilder;
using testing::MissionSetup;

// The mission info record: value, 64-byte text, 256-byte text, value, 40-byte text.
core::Bytes InfoRecord(std::uint32_t first, const std::string& a, const std::string& b, std::uint32_t second,
                       const std::string& c) {
  return mapmaker::Le().U32(first).Text(a, 64).Text(b, 256).U32(second).Text(c, 40).Fill(32, 0xEE);
}

core::Bytes CampaignMission(const format::MissionRectangle& r) {
  return mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission)
      .Set(format::Section::MissionInfoFirst, mapmaker::Le().I32(r.x0).I32(r.y0).I32(r.width).I32(r.height))
      .Set(format::Section::MissionInfoSecond, InfoRecord(0, "", "", 0, ""))
      .Build();
}

// A grid section whose byte for (column, row) is distinct per cell, row after row.
core::Bytes GridSection(std::int32_t width, std::int32_t height) {
  core::Bytes out;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) out.push_back(static_cast<std::uint8_t>(1 + (x * 7 + y * 13) % 250));
  }
  return out;
}
std::uint8_t GridByte(std::int32_t x, std::int32_t y) { return static_cast<std::uint8_t>(1 + (x * 7 + y * 13) % 250); }

TEST(MissionInfoTest, SinglePlayerMissionCoversTheWholeMap) {
  MissionSetup m(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap)
                                              .Set(format::Section::MissionInfoSecond,
                                                   InfoRecord(0xA1B2C3D4, "Storm", "Take the bridge.", 7, "x"))
                                              .Build());
  m.c.MapInfoRecord = {0, 160, 96};
  writers::WriteInfoFile(m.c);
  EXPECT_EQ(m.c.MissionRect.x0, 0);
  EXPECT_EQ(m.c.MissionRect.width, 160);
  EXPECT_EQ(m.c.MissionRect.height, 96);
  const core::Bytes expected =
      mapmaker::Le()
          .I32(0)
          .I32(0)
          .I32(160)
          .I32(96)
          .U32(0xA1B2C3D4)
          .U32(7)
          .U32(5)
          .Raw({'S', 't', 'o', 'r', 'm'})
          .U32(16)
          .Raw(core::Bytes{'T', 'a', 'k', 'e', ' ', 't', 'h', 'e', ' ', 'b', 'r', 'i', 'd', 'g', 'e', '.'})
          .U32(1)
          .Raw({'x'});
  EXPECT_EQ(m.File("info"), expected);
  EXPECT_TRUE(m.warnings.empty());
}

TEST(MissionInfoTest, TextsAreCountedAndFullFieldsWrittenWhole) {
  const std::string full(64, 'Q');
  MissionSetup empty(format::MultiplayerMap, mapmaker::MapBuilder(format::MultiplayerMap)
                                                 .Set(format::Section::MissionInfoSecond, InfoRecord(1, "", "", 2, ""))
                                                 .Build());
  writers::WriteInfoFile(empty.c);
  const core::Bytes short_info = empty.File("info");
  ASSERT_EQ(short_info.size(), 36u);
  EXPECT_EQ(core::Bytes(short_info.end() - 12, short_info.end()), core::Bytes(12, 0));

  MissionSetup fullText(format::SinglePlayerMap,
                        mapmaker::MapBuilder(format::SinglePlayerMap)
                            .Set(format::Section::MissionInfoSecond, InfoRecord(1, full, "b", 2, ""))
                            .Build());
  writers::WriteInfoFile(fullText.c);
  const core::Bytes info = fullText.File("info");
  ASSERT_EQ(info.size(), 36u + 64 + 1);
  EXPECT_EQ(core::U32At(info, 24), 64u);
  EXPECT_EQ(std::string(info.begin() + 28, info.begin() + 92), full);
  EXPECT_EQ(core::U32At(info, 92), 1u);  // the second text's count follows; nothing of it joined the first
}

TEST(MissionInfoTest, CampaignMissionReadsItsOwnRectangle) {
  MissionSetup m(format::CampaignMap, CampaignMission({10, 20, 100, 50}), "mis.004");
  m.c.MapInfoRecord = {0, 300, 300};
  writers::WriteInfoFile(m.c);
  EXPECT_EQ(m.c.MissionRect.x0, 10);
  EXPECT_EQ(m.c.MissionRect.y0, 20);
  EXPECT_EQ(m.c.MissionRect.width, 100);
  EXPECT_EQ(m.c.MissionRect.height, 50);
  const core::Bytes info = m.File("info");
  ASSERT_EQ(info.size(), 36u);
  EXPECT_EQ(core::Bytes(info.begin(), info.begin() + 16), core::Bytes(mapmaker::Le().I32(10).I32(20).I32(100).I32(50)));
}

TEST(MissionInfoTest, RectangleOutsideTheGridIsKeptButWarnedAbout) {
  MissionSetup m(format::CampaignMap, CampaignMission({-3, 500, 40, 20}), "mis.007");
  writers::WriteInfoFile(m.c);
  EXPECT_EQ(m.c.MissionRect.x0, -3);  // units and flags are still placed by the stored rectangle
  ASSERT_EQ(m.warnings.size(), 1u);
  EXPECT_EQ(m.warnings[0].rfind("mis.007: ", 0), 0u) << m.warnings[0];
}

TEST(MissionDescTest, NamesTheMissionAndCopiesThePicture) {
  const core::Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F', 0, 0xFF, 0xD9};
  MissionSetup m(format::CampaignMap,
                 mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission)
                     .Set(format::Section::MissionPicture, jpeg)
                     .Build(),
                 "mis.003");
  writers::WriteDescFile(m.c);
  EXPECT_EQ(m.Text("desc"), "Mission #3");
  EXPECT_EQ(m.File("JPG1024.jpg"), jpeg);

  MissionSetup only(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap).Build(), "mis.000");
  writers::WriteDescFile(only.c);
  EXPECT_EQ(only.Text("desc"), "Mission #0");
  EXPECT_EQ(only.File("desc").size(), 10u);
  EXPECT_TRUE(only.File("JPG1024.jpg").empty());  // an empty picture section gives an empty file

  MissionSetup twelve(format::CampaignMap,
                      mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission).Build(),
                      "mis.012");
  writers::WriteDescFile(twelve.c);
  EXPECT_EQ(twelve.Text("desc"), "Mission #12");
}

TEST(MissionDescTest, MissionNameThatIsNoNumberFails) {
  MissionSetup m(format::CampaignMap,
                 mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission).Build(),
                 "mis.a1b");
  try {
    writers::WriteDescFile(m.c);
    FAIL() << "expected an integer conversion error";
  } catch (const core::IntegerConversionError& e) {
    EXPECT_STREQ(e.what(), "'a1b' is not a valid integer value");
  }
  EXPECT_FALSE(m.Has("desc"));
  EXPECT_FALSE(m.Has("JPG1024.jpg"));
}

TEST(MissionGridTest, WholeMapMissionPlacesRowsFiveHundredTwelveApart) {
  MissionSetup m(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap)
                                              .Set(format::Section::Mines, GridSection(32, 24))
                                              .Set(format::Section::Locations, core::Bytes(32 * 24, 9))
                                              .Build());
  m.c.MissionRect = {0, 0, 32, 24};
  writers::WriteMinesFile(m.c);
  writers::WriteLocationsFile(m.c);
  const core::Bytes mines = m.File("mines");
  ASSERT_EQ(mines.size(), writers::kMissionGridBytes);
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 32; ++x) ASSERT_EQ(mines[y * 512 + x], GridByte(x, y)) << x << "," << y;
    EXPECT_EQ(mines[y * 512 + 32], 0);
  }
  EXPECT_EQ(mines[24 * 512], 0);
  const core::Bytes locations = m.File("locations");
  ASSERT_EQ(locations.size(), writers::kMissionGridBytes);
  EXPECT_EQ(std::count(locations.begin(), locations.end(), 9), 32 * 24);
  EXPECT_EQ(locations[23 * 512 + 31], 9);
}

TEST(MissionGridTest, CampaignRectangleStartsAtItsCorner) {
  MissionSetup m(format::CampaignMap,
                 mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission)
                     .Set(format::Section::Mines, GridSection(100, 50))
                     .Build());
  m.c.MissionRect = {10, 20, 100, 50};
  writers::WriteMinesFile(m.c);
  const core::Bytes mines = m.File("mines");
  ASSERT_EQ(mines.size(), writers::kMissionGridBytes);
  std::size_t inside = 0;
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      const bool in = x >= 10 && x < 110 && y >= 20 && y < 70;
      const std::uint8_t want = in ? GridByte(x - 10, y - 20) : 0;
      ASSERT_EQ(mines[y * 512 + x], want) << x << "," << y;
      inside += in;
    }
  }
  EXPECT_EQ(inside, 5000u);
}

TEST(MissionGridTest, EmptyRectangleGivesAnAllZeroGrid) {
  MissionSetup m(
      format::SinglePlayerMap,
      mapmaker::MapBuilder(format::SinglePlayerMap).Set(format::Section::Mines, core::Bytes(100, 5)).Build());
  for (const format::MissionRectangle r :
       {format::MissionRectangle{0, 0, 0, 30}, format::MissionRectangle{4, 4, 30, 0}}) {
    m.c.MissionRect = r;
    writers::WriteMinesFile(m.c);
    EXPECT_EQ(m.File("mines"), core::Bytes(writers::kMissionGridBytes, 0));
  }
}

// Rectangles reaching outside the grid keep only their cells on it: the file stays 262,144
// bytes and no row runs into the next one.
struct ClipCase {
  format::MissionRectangle rect;
};
class MissionGridClipTest : public ::testing::TestWithParam<ClipCase> {};

TEST_P(MissionGridClipTest, CellsOutsideTheGridAreDropped) {
  const format::MissionRectangle r = GetParam().rect;
  core::ByteStream stream;
  stream.Load(GridSection(r.width, r.height));
  const core::Bytes grid = writers::PlaceOnMissionGrid(stream, r);
  ASSERT_EQ(grid.size(), writers::kMissionGridBytes);
  EXPECT_EQ(stream.position(), std::int64_t{r.width} * r.height);  // the whole section was read
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      const int sx = x - r.x0, sy = y - r.y0;
      const bool in = sx >= 0 && sx < r.width && sy >= 0 && sy < r.height;
      ASSERT_EQ(grid[y * 512 + x], in ? GridByte(sx, sy) : 0) << x << "," << y;
    }
  }
  EXPECT_FALSE(writers::FitsMissionGrid(r));
}

INSTANTIATE_TEST_SUITE_P(Rectangles, MissionGridClipTest,
                         ::testing::Values(ClipCase{{500, 3, 20, 4}},     // past the right edge
                                           ClipCase{{2, 505, 6, 12}},     // past row 511
                                           ClipCase{{-5, -2, 9, 6}},      // negative origin
                                           ClipCase{{-1, 0, 514, 514}},   // larger than the grid
                                           ClipCase{{600, 600, 3, 3}}));  // wholly outside

TEST(MissionGridTest, FittingRectanglesAreRecognised) {
  EXPECT_TRUE(writers::FitsMissionGrid({0, 0, 512, 512}));
  EXPECT_TRUE(writers::FitsMissionGrid({511, 511, 1, 1}));
  EXPECT_TRUE(writers::FitsMissionGrid({0, 0, 0, 0}));
  EXPECT_FALSE(writers::FitsMissionGrid({1, 0, 512, 1}));
  EXPECT_FALSE(writers::FitsMissionGrid({0, 0, -1, 4}));
  EXPECT_FALSE(writers::FitsMissionGrid({0x7FFFFFFF, 0, 1, 1}));  // no overflow in the test
}

TEST(MissionGridTest, SectionShorterThanTheRectangleFailsAndLeavesNoFile) {
  // A mission file whose last entry is the mines section (position 9 of a campaign mission):
  // rows past its end cannot be read.
  mapmaker::ContainerBuilder container;
  for (int i = 0; i < 9; ++i) container.Add("SECT" + std::to_string(i));
  container.Add("MINES", GridSection(10, 3));
  MissionSetup m(format::CampaignMap, container.Build());
  mapmaker::WriteBytes(m.Path("mines"), core::Bytes{1, 2, 3});  // an earlier run's file

  m.c.MissionRect = {0, 0, 10, 3};
  writers::WriteMinesFile(m.c);
  EXPECT_EQ(m.File("mines")[2 * 512 + 9], GridByte(9, 2));

  m.c.MissionRect = {0, 0, 10, 4};
  EXPECT_THROW(writers::WriteMinesFile(m.c), core::StreamReadError);
  EXPECT_FALSE(m.Has("mines"));
}

TEST(MissionObjsTest, EntriesAreShiftedByTheCornerAndUnusedOnesZeroed) {
  mapmaker::Le objects;
  objects.U16(0).U16(5).U16(0).U16(7).U16(3).U16(4).U16(65535).U16(65535);
  for (int i = 4; i < 100; ++i) objects.U16(0).U16(9);
  MissionSetup m(format::CampaignMap,
                 mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission)
                     .Set(format::Section::MissionObjects, objects)
                     .Build());
  m.c.MissionRect = {10, 20, 50, 50};
  writers::WriteObjsFile(m.c);
  const core::Bytes objs = m.File("objs");
  ASSERT_EQ(objs.size(), 800u);
  EXPECT_EQ(core::I32At(objs, 0), 10);
  EXPECT_EQ(core::I32At(objs, 4), 25);
  EXPECT_EQ(core::I32At(objs, 8), 0);
  EXPECT_EQ(core::I32At(objs, 12), 0);
  EXPECT_EQ(core::I32At(objs, 16), 13);
  EXPECT_EQ(core::I32At(objs, 20), 24);
  EXPECT_EQ(core::I32At(objs, 24), 65545);  // unsigned 16-bit values plus the corner
  EXPECT_EQ(core::I32At(objs, 28), 65555);
  EXPECT_EQ(core::Bytes(objs.begin() + 32, objs.end()), core::Bytes(800 - 32, 0));
}

TEST(MissionObjsTest, NegativeCornerIsAddedAsSigned) {
  MissionSetup m(format::CampaignMap,
                 mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission)
                     .Set(format::Section::MissionObjects, mapmaker::Le().U16(2).U16(1))
                     .Build());
  m.c.MissionRect = {-4, -3, 10, 10};
  writers::WriteObjsFile(m.c);
  const core::Bytes objs = m.File("objs");
  ASSERT_EQ(objs.size(), 800u);  // entries past the short section read as unused
  EXPECT_EQ(core::I32At(objs, 0), -2);
  EXPECT_EQ(core::I32At(objs, 4), -2);
}

TEST(MissionCopiesTest, MismultIsCopiedForMultiplayerAndDefaultedOtherwise) {
  const core::Bytes settings = {9, 8, 7, 6, 5};
  MissionSetup mp(
      format::MultiplayerMap,
      mapmaker::MapBuilder(format::MultiplayerMap).Set(format::Section::MultiplayerSettings, settings).Build());
  writers::WriteMismultFile(mp.c);
  EXPECT_EQ(mp.File("mismult"), settings);

  const core::Bytes standard = mapmaker::Le().I32(2).I32(12).I32(2).I32(4);
  MissionSetup sp(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap).Build());
  writers::WriteMismultFile(sp.c);
  EXPECT_EQ(sp.File("mismult"), standard);
  MissionSetup campaign(format::CampaignMap,
                        mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission).Build());
  writers::WriteMismultFile(campaign.c);
  EXPECT_EQ(campaign.File("mismult"), standard);
}

TEST(MissionCopiesTest, PhrasesAndDescriptionAreByteCopiesThatReplaceEarlierFiles) {
  const core::Bytes phrases = mapmaker::Le().Text("Hold the line\nor die\r\n", 24).U8(0x99);
  const core::Bytes description = {'B', 'r', 'i', 'e', 'f', 0, 'x'};
  MissionSetup m(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap)
                                              .Set(format::Section::Phrases, phrases)
                                              .Set(format::Section::MissionDescription, description)
                                              .Build());
  mapmaker::WriteBytes(m.Path("phrases2"), core::Bytes(1000, 'z'));
  writers::WritePhrasesFile(m.c);
  writers::WriteMisdescFile(m.c);
  writers::WritePhrasesFile(m.c);  // a second run replaces, never appends
  EXPECT_EQ(m.File("phrases2"), phrases);
  EXPECT_EQ(m.File("misdesc"), description);

  MissionSetup empty(format::SinglePlayerMap, mapmaker::MapBuilder(format::SinglePlayerMap).Build());
  writers::WritePhrasesFile(empty.c);
  writers::WriteMisdescFile(empty.c);
  EXPECT_TRUE(empty.Has("phrases2"));
  EXPECT_TRUE(empty.File("phrases2").empty());
  EXPECT_TRUE(empty.File("misdesc").empty());
}

TEST(MissionCopiesTest, CopyRunningPastTheStreamFailsWithStreamReadError) {
  mapmaker::MapBuilder full(format::SinglePlayerMap);
  core::Bytes bytes = full.Set(format::Section::MissionPicture, core::Bytes(40, 1)).Build();
  bytes.resize(bytes.size() - 10);  // the picture's stored size now runs past the end
  MissionSetup m(format::SinglePlayerMap, bytes);
  try {
    writers::WritePictureFile(m.c);
    FAIL() << "expected a stream read error";
  } catch (const core::StreamReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  EXPECT_FALSE(m.Has("JPG1024.jpg"));
}

}  // namespace
}  // namespace kartwerk

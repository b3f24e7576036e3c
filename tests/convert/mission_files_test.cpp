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

using testing::Le;
using testing::MapBuilder;
using testing::MissionSetup;

// The mission info record: value, 64-byte text, 256-byte text, value, 40-byte text.
Bytes InfoRecord(std::uint32_t first, const std::string& a, const std::string& b, std::uint32_t second,
                 const std::string& c) {
  return Le().U32(first).Text(a, 64).Text(b, 256).U32(second).Text(c, 40).Fill(32, 0xEE);
}

Bytes CampaignMission(const MissionRectangle& r) {
  return MapBuilder(CampaignMap, MapBuilder::File::CampaignMission)
      .Set(Section::MissionInfoFirst, Le().I32(r.x0).I32(r.y0).I32(r.width).I32(r.height))
      .Set(Section::MissionInfoSecond, InfoRecord(0, "", "", 0, ""))
      .Build();
}

// A grid section whose byte for (column, row) is distinct per cell, row after row.
Bytes GridSection(std::int32_t width, std::int32_t height) {
  Bytes out;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) out.push_back(static_cast<std::uint8_t>(1 + (x * 7 + y * 13) % 250));
  }
  return out;
}
std::uint8_t GridByte(std::int32_t x, std::int32_t y) { return static_cast<std::uint8_t>(1 + (x * 7 + y * 13) % 250); }

TEST(MissionInfoTest, SinglePlayerMissionCoversTheWholeMap) {
  MissionSetup m(SinglePlayerMap,
                 MapBuilder(SinglePlayerMap)
                     .Set(Section::MissionInfoSecond, InfoRecord(0xA1B2C3D4, "Storm", "Take the bridge.", 7, "x"))
                     .Build());
  m.c.MapInfoRecord = {0, 160, 96};
  WriteInfoFile(m.c);
  EXPECT_EQ(m.c.MissionRect.x0, 0);
  EXPECT_EQ(m.c.MissionRect.width, 160);
  EXPECT_EQ(m.c.MissionRect.height, 96);
  const Bytes expected = Le().I32(0)
                             .I32(0)
                             .I32(160)
                             .I32(96)
                             .U32(0xA1B2C3D4)
                             .U32(7)
                             .U32(5)
                             .Raw({'S', 't', 'o', 'r', 'm'})
                             .U32(16)
                             .Raw(Bytes{'T', 'a', 'k', 'e', ' ', 't', 'h', 'e', ' ', 'b', 'r', 'i', 'd', 'g', 'e', '.'})
                             .U32(1)
                             .Raw({'x'});
  EXPECT_EQ(m.File("info"), expected);
  EXPECT_TRUE(m.warnings.empty());
}

TEST(MissionInfoTest, TextsAreCountedAndFullFieldsWrittenWhole) {
  const std::string full(64, 'Q');
  MissionSetup empty(MultiplayerMap,
                     MapBuilder(MultiplayerMap).Set(Section::MissionInfoSecond, InfoRecord(1, "", "", 2, "")).Build());
  WriteInfoFile(empty.c);
  const Bytes short_info = empty.File("info");
  ASSERT_EQ(short_info.size(), 36u);
  EXPECT_EQ(Bytes(short_info.end() - 12, short_info.end()), Bytes(12, 0));

  MissionSetup fullText(
      SinglePlayerMap,
      MapBuilder(SinglePlayerMap).Set(Section::MissionInfoSecond, InfoRecord(1, full, "b", 2, "")).Build());
  WriteInfoFile(fullText.c);
  const Bytes info = fullText.File("info");
  ASSERT_EQ(info.size(), 36u + 64 + 1);
  EXPECT_EQ(U32At(info, 24), 64u);
  EXPECT_EQ(std::string(info.begin() + 28, info.begin() + 92), full);
  EXPECT_EQ(U32At(info, 92), 1u);  // the second text's count follows; nothing of it joined the first
}

TEST(MissionInfoTest, CampaignMissionReadsItsOwnRectangle) {
  MissionSetup m(CampaignMap, CampaignMission({10, 20, 100, 50}), "mis.004");
  m.c.MapInfoRecord = {0, 300, 300};
  WriteInfoFile(m.c);
  EXPECT_EQ(m.c.MissionRect.x0, 10);
  EXPECT_EQ(m.c.MissionRect.y0, 20);
  EXPECT_EQ(m.c.MissionRect.width, 100);
  EXPECT_EQ(m.c.MissionRect.height, 50);
  const Bytes info = m.File("info");
  ASSERT_EQ(info.size(), 36u);
  EXPECT_EQ(Bytes(info.begin(), info.begin() + 16), Bytes(Le().I32(10).I32(20).I32(100).I32(50)));
}

TEST(MissionInfoTest, RectangleOutsideTheGridIsKeptButWarnedAbout) {
  MissionSetup m(CampaignMap, CampaignMission({-3, 500, 40, 20}), "mis.007");
  WriteInfoFile(m.c);
  EXPECT_EQ(m.c.MissionRect.x0, -3);  // units and flags are still placed by the stored rectangle
  ASSERT_EQ(m.warnings.size(), 1u);
  EXPECT_EQ(m.warnings[0].rfind("mis.007: ", 0), 0u) << m.warnings[0];
}

TEST(MissionDescTest, NamesTheMissionAndCopiesThePicture) {
  const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F', 0, 0xFF, 0xD9};
  MissionSetup m(CampaignMap,
                 MapBuilder(CampaignMap, MapBuilder::File::CampaignMission).Set(Section::MissionPicture, jpeg).Build(),
                 "mis.003");
  WriteDescFile(m.c);
  EXPECT_EQ(m.Text("desc"), "Mission #3");
  EXPECT_EQ(m.File("JPG1024.jpg"), jpeg);

  MissionSetup only(SinglePlayerMap, MapBuilder(SinglePlayerMap).Build(), "mis.000");
  WriteDescFile(only.c);
  EXPECT_EQ(only.Text("desc"), "Mission #0");
  EXPECT_EQ(only.File("desc").size(), 10u);
  EXPECT_TRUE(only.File("JPG1024.jpg").empty());  // an empty picture section gives an empty file

  MissionSetup twelve(CampaignMap, MapBuilder(CampaignMap, MapBuilder::File::CampaignMission).Build(), "mis.012");
  WriteDescFile(twelve.c);
  EXPECT_EQ(twelve.Text("desc"), "Mission #12");
}

TEST(MissionDescTest, MissionNameThatIsNoNumberFails) {
  MissionSetup m(CampaignMap, MapBuilder(CampaignMap, MapBuilder::File::CampaignMission).Build(), "mis.a1b");
  try {
    WriteDescFile(m.c);
    FAIL() << "expected an integer conversion error";
  } catch (const IntegerConversionError& e) {
    EXPECT_STREQ(e.what(), "'a1b' is not a valid integer value");
  }
  EXPECT_FALSE(m.Has("desc"));
  EXPECT_FALSE(m.Has("JPG1024.jpg"));
}

TEST(MissionGridTest, WholeMapMissionPlacesRowsFiveHundredTwelveApart) {
  MissionSetup m(SinglePlayerMap, MapBuilder(SinglePlayerMap)
                                      .Set(Section::Mines, GridSection(32, 24))
                                      .Set(Section::Locations, Bytes(32 * 24, 9))
                                      .Build());
  m.c.MissionRect = {0, 0, 32, 24};
  WriteMinesFile(m.c);
  WriteLocationsFile(m.c);
  const Bytes mines = m.File("mines");
  ASSERT_EQ(mines.size(), kMissionGridBytes);
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 32; ++x) ASSERT_EQ(mines[y * 512 + x], GridByte(x, y)) << x << "," << y;
    EXPECT_EQ(mines[y * 512 + 32], 0);
  }
  EXPECT_EQ(mines[24 * 512], 0);
  const Bytes locations = m.File("locations");
  ASSERT_EQ(locations.size(), kMissionGridBytes);
  EXPECT_EQ(std::count(locations.begin(), locations.end(), 9), 32 * 24);
  EXPECT_EQ(locations[23 * 512 + 31], 9);
}

TEST(MissionGridTest, CampaignRectangleStartsAtItsCorner) {
  MissionSetup m(
      CampaignMap,
      MapBuilder(CampaignMap, MapBuilder::File::CampaignMission).Set(Section::Mines, GridSection(100, 50)).Build());
  m.c.MissionRect = {10, 20, 100, 50};
  WriteMinesFile(m.c);
  const Bytes mines = m.File("mines");
  ASSERT_EQ(mines.size(), kMissionGridBytes);
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
  MissionSetup m(SinglePlayerMap, MapBuilder(SinglePlayerMap).Set(Section::Mines, Bytes(100, 5)).Build());
  for (const MissionRectangle r : {MissionRectangle{0, 0, 0, 30}, MissionRectangle{4, 4, 30, 0}}) {
    m.c.MissionRect = r;
    WriteMinesFile(m.c);
    EXPECT_EQ(m.File("mines"), Bytes(kMissionGridBytes, 0));
  }
}

// Rectangles reaching outside the grid keep only their cells on it: the file stays 262,144
// bytes and no row runs into the next one.
struct ClipCase {
  MissionRectangle rect;
};
class MissionGridClipTest : public ::testing::TestWithParam<ClipCase> {};

TEST_P(MissionGridClipTest, CellsOutsideTheGridAreDropped) {
  const MissionRectangle r = GetParam().rect;
  ByteStream stream;
  stream.Load(GridSection(r.width, r.height));
  const Bytes grid = PlaceOnMissionGrid(stream, r);
  ASSERT_EQ(grid.size(), kMissionGridBytes);
  EXPECT_EQ(stream.position(), std::int64_t{r.width} * r.height);  // the whole section was read
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      const int sx = x - r.x0, sy = y - r.y0;
      const bool in = sx >= 0 && sx < r.width && sy >= 0 && sy < r.height;
      ASSERT_EQ(grid[y * 512 + x], in ? GridByte(sx, sy) : 0) << x << "," << y;
    }
  }
  EXPECT_FALSE(FitsMissionGrid(r));
}

INSTANTIATE_TEST_SUITE_P(Rectangles, MissionGridClipTest,
                         ::testing::Values(ClipCase{{500, 3, 20, 4}},     // past the right edge
                                           ClipCase{{2, 505, 6, 12}},     // past row 511
                                           ClipCase{{-5, -2, 9, 6}},      // negative origin
                                           ClipCase{{-1, 0, 514, 514}},   // larger than the grid
                                           ClipCase{{600, 600, 3, 3}}));  // wholly outside

TEST(MissionGridTest, FittingRectanglesAreRecognised) {
  EXPECT_TRUE(FitsMissionGrid({0, 0, 512, 512}));
  EXPECT_TRUE(FitsMissionGrid({511, 511, 1, 1}));
  EXPECT_TRUE(FitsMissionGrid({0, 0, 0, 0}));
  EXPECT_FALSE(FitsMissionGrid({1, 0, 512, 1}));
  EXPECT_FALSE(FitsMissionGrid({0, 0, -1, 4}));
  EXPECT_FALSE(FitsMissionGrid({0x7FFFFFFF, 0, 1, 1}));  // no overflow in the test
}

TEST(MissionGridTest, SectionShorterThanTheRectangleFailsAndLeavesNoFile) {
  // A mission file whose last entry is the mines section (position 9 of a campaign mission):
  // rows past its end cannot be read.
  testing::ContainerBuilder container;
  for (int i = 0; i < 9; ++i) container.Add("SECT" + std::to_string(i));
  container.Add("MINES", GridSection(10, 3));
  MissionSetup m(CampaignMap, container.Build());
  testing::WriteBytes(m.Path("mines"), Bytes{1, 2, 3});  // an earlier run's file

  m.c.MissionRect = {0, 0, 10, 3};
  WriteMinesFile(m.c);
  EXPECT_EQ(m.File("mines")[2 * 512 + 9], GridByte(9, 2));

  m.c.MissionRect = {0, 0, 10, 4};
  EXPECT_THROW(WriteMinesFile(m.c), StreamReadError);
  EXPECT_FALSE(m.Has("mines"));
}

TEST(MissionObjsTest, EntriesAreShiftedByTheCornerAndUnusedOnesZeroed) {
  Le objects;
  objects.U16(0).U16(5).U16(0).U16(7).U16(3).U16(4).U16(65535).U16(65535);
  for (int i = 4; i < 100; ++i) objects.U16(0).U16(9);
  MissionSetup m(
      CampaignMap,
      MapBuilder(CampaignMap, MapBuilder::File::CampaignMission).Set(Section::MissionObjects, objects).Build());
  m.c.MissionRect = {10, 20, 50, 50};
  WriteObjsFile(m.c);
  const Bytes objs = m.File("objs");
  ASSERT_EQ(objs.size(), 800u);
  EXPECT_EQ(I32At(objs, 0), 10);
  EXPECT_EQ(I32At(objs, 4), 25);
  EXPECT_EQ(I32At(objs, 8), 0);
  EXPECT_EQ(I32At(objs, 12), 0);
  EXPECT_EQ(I32At(objs, 16), 13);
  EXPECT_EQ(I32At(objs, 20), 24);
  EXPECT_EQ(I32At(objs, 24), 65545);  // unsigned 16-bit values plus the corner
  EXPECT_EQ(I32At(objs, 28), 65555);
  EXPECT_EQ(Bytes(objs.begin() + 32, objs.end()), Bytes(800 - 32, 0));
}

TEST(MissionObjsTest, NegativeCornerIsAddedAsSigned) {
  MissionSetup m(CampaignMap, MapBuilder(CampaignMap, MapBuilder::File::CampaignMission)
                                  .Set(Section::MissionObjects, Le().U16(2).U16(1))
                                  .Build());
  m.c.MissionRect = {-4, -3, 10, 10};
  WriteObjsFile(m.c);
  const Bytes objs = m.File("objs");
  ASSERT_EQ(objs.size(), 800u);  // entries past the short section read as unused
  EXPECT_EQ(I32At(objs, 0), -2);
  EXPECT_EQ(I32At(objs, 4), -2);
}

TEST(MissionCopiesTest, MismultIsCopiedForMultiplayerAndDefaultedOtherwise) {
  const Bytes settings = {9, 8, 7, 6, 5};
  MissionSetup mp(MultiplayerMap, MapBuilder(MultiplayerMap).Set(Section::MultiplayerSettings, settings).Build());
  WriteMismultFile(mp.c);
  EXPECT_EQ(mp.File("mismult"), settings);

  const Bytes standard = Le().I32(2).I32(12).I32(2).I32(4);
  MissionSetup sp(SinglePlayerMap, MapBuilder(SinglePlayerMap).Build());
  WriteMismultFile(sp.c);
  EXPECT_EQ(sp.File("mismult"), standard);
  MissionSetup campaign(CampaignMap, MapBuilder(CampaignMap, MapBuilder::File::CampaignMission).Build());
  WriteMismultFile(campaign.c);
  EXPECT_EQ(campaign.File("mismult"), standard);
}

TEST(MissionCopiesTest, PhrasesAndDescriptionAreByteCopiesThatReplaceEarlierFiles) {
  const Bytes phrases = Le().Text("Hold the line\nor die\r\n", 24).U8(0x99);
  const Bytes description = {'B', 'r', 'i', 'e', 'f', 0, 'x'};
  MissionSetup m(
      SinglePlayerMap,
      MapBuilder(SinglePlayerMap).Set(Section::Phrases, phrases).Set(Section::MissionDescription, description).Build());
  testing::WriteBytes(m.Path("phrases2"), Bytes(1000, 'z'));
  WritePhrasesFile(m.c);
  WriteMisdescFile(m.c);
  WritePhrasesFile(m.c);  // a second run replaces, never appends
  EXPECT_EQ(m.File("phrases2"), phrases);
  EXPECT_EQ(m.File("misdesc"), description);

  MissionSetup empty(SinglePlayerMap, MapBuilder(SinglePlayerMap).Build());
  WritePhrasesFile(empty.c);
  WriteMisdescFile(empty.c);
  EXPECT_TRUE(empty.Has("phrases2"));
  EXPECT_TRUE(empty.File("phrases2").empty());
  EXPECT_TRUE(empty.File("misdesc").empty());
}

TEST(MissionCopiesTest, CopyRunningPastTheStreamFailsWithStreamReadError) {
  MapBuilder full(SinglePlayerMap);
  Bytes bytes = full.Set(Section::MissionPicture, Bytes(40, 1)).Build();
  bytes.resize(bytes.size() - 10);  // the picture's stored size now runs past the end
  MissionSetup m(SinglePlayerMap, bytes);
  try {
    WritePictureFile(m.c);
    FAIL() << "expected a stream read error";
  } catch (const StreamReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  EXPECT_FALSE(m.Has("JPG1024.jpg"));
}

}  // namespace
}  // namespace kartwerk

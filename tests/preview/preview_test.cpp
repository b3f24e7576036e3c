// Map pictures: maps built in memory with known terrain, levels, a cliff, an object and units give
// known colours at known pixels; damaged maps draw what they hold or fail naming the stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "mapmaker/map_builder.hpp"
#include "preview/gallery_page.hpp"
#include "preview/read_map_preview.hpp"
#include "preview/render_map_picture.hpp"

namespace kartwerk {
namespace {

using mapmaker::Gzip;
using mapmaker::Le;
using mapmaker::MapBuilder;
using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;

constexpr preview::Rgb kOlive0{114, 114, 38};    // terrain type 2 at level 0
constexpr preview::Rgb kOlive31{188, 188, 122};  // terrain type 2 at level 31
constexpr preview::Rgb kTeal0{51, 127, 114};     // terrain type 3 at level 0
constexpr preview::Rgb kTealCliff{30, 76, 68};   // the same under a cliff mark
constexpr preview::Rgb kSand0{165, 153, 89};     // terrain type 0 at level 0
constexpr preview::Rgb kWhite{255, 255, 255};
constexpr preview::Rgb kBlack{0, 0, 0};
constexpr preview::Rgb kYellow{240, 228, 66};  // player 2
constexpr preview::Rgb kBlue{0, 114, 178};     // player 1

std::string Show(preview::Rgb c) {
  return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}
#define EXPECT_PIXEL(picture, x, y, colour) \
  EXPECT_EQ(Show((picture).At(x, y)), Show(colour)) << "pixel (" << (x) << ", " << (y) << ")"

// One cliff mask (number 0) that marks only the object's own cell.
std::shared_ptr<const core::Bytes> CentreCliffMask() {
  core::Bytes mask(49, 0);
  mask[3 * 7 + 3] = 1;
  return std::make_shared<const core::Bytes>(mask);
}

// A unit record: head of 18 bytes (no passengers or crew), at a position inside its mission.
mapmaker::Le& Unit(mapmaker::Le& out, std::uint16_t u, std::uint16_t v, std::uint8_t owner) {
  return out.U8(1).U8(100).U8(0).U8(0).U8(1).U8(50).U16(0).U16(0).U8(0).U8(0).U16(u).U16(v).U8(0).U8(owner);
}

std::uint16_t Centre(int cell) { return static_cast<std::uint16_t>(cell * 32 + 16); }

class Previews : public ::testing::Test {
 protected:
  std::filesystem::path Map(const std::string& name, const core::Bytes& container) {
    const auto path = dir / name;
    mapmaker::WriteBytes(path, mapmaker::Gzip(container, name.substr(0, name.size() - 4)));
    return path;
  }
  preview::MapPreview Load(const std::filesystem::path& map) {
    return preview::LoadMapPreview(map, CentreCliffMask(), [this](const std::string& m) { warnings.push_back(m); });
  }
  mapmaker::ScratchFolder dir;
  std::vector<std::string> warnings;
};

// 16 x 8 cells: the left half tile code 13 (terrain type 2), the right half 70 (type 3), a raised
// 2 x 2 block at level 31 in the left half, a cliff at (12, 5), a tree at (10, 1) and a unit of
// player 2 at (5, 6).
TEST_F(Previews, TerrainLevelsCliffObjectAndUnitGiveTheirColoursAtTheirPixels) {
  mapmaker::Le rhombs;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool raised = (x == 2 || x == 3) && (y == 2 || y == 3);
      rhombs.U16(x < 8 ? 13 : 70).U16(raised ? 31 : 0);
    }
  }
  mapmaker::Le objects;
  objects.U16(Centre(12)).U16(Centre(5)).U8(8).U8(0).U16(0).U16(0);  // the cliff, mask 0
  objects.U16(Centre(10)).U16(Centre(1)).U8(0).U8(0).U16(0).U16(3);  // a tree
  mapmaker::Le units;
  Unit(units.I32(1), Centre(5), Centre(6), 2);
  const auto map = Map("known.qdm", mapmaker::MapBuilder(format::SinglePlayerMap)
                                        .MapInfo(0, 16, 8)
                                        .Set(format::Section::ObjectNames, mapmaker::Le().Text("tree", 16))
                                        .Set(format::Section::TerrainRhombs, rhombs)
                                        .Set(format::Section::Objects, objects)
                                        .Set(format::Section::MapUnits, units)
                                        .Build());
  const preview::MapPreview preview = Load(map);
  ASSERT_EQ(preview.missions.size(), 1u);
  const preview::Picture picture = preview::RenderMapPicture(preview, &preview.missions[0], 4);
  ASSERT_EQ(picture.width(), 64);
  ASSERT_EQ(picture.height(), 32);

  EXPECT_PIXEL(picture, 0, 0, kOlive0);
  EXPECT_PIXEL(picture, 31, 31, kOlive0);
  EXPECT_PIXEL(picture, 32, 0, kTeal0) << "the right half";
  EXPECT_PIXEL(picture, 63, 31, kTeal0);
  EXPECT_PIXEL(picture, 8, 8, kOlive31) << "the raised block, every pixel of its cells";
  EXPECT_PIXEL(picture, 15, 15, kOlive31);
  EXPECT_PIXEL(picture, 16, 16, kOlive0);
  EXPECT_PIXEL(picture, 48, 20, kTealCliff) << "the cliff's own cell is marked";
  EXPECT_PIXEL(picture, 51, 23, kTealCliff);
  EXPECT_PIXEL(picture, 52, 20, kTeal0) << "its mask marks nothing around it";
  EXPECT_PIXEL(picture, 42, 6, kWhite) << "the tree's mark at its position";
  EXPECT_PIXEL(picture, 41, 6, kTeal0) << "a mark of one pixel at scale 4";
  EXPECT_PIXEL(picture, 20, 24, kYellow) << "the unit of player 2";
  EXPECT_PIXEL(picture, 23, 27, kYellow);
  EXPECT_PIXEL(picture, 19, 26, kBlack) << "its dot's rim";
  EXPECT_PIXEL(picture, 24, 26, kBlack);
  EXPECT_PIXEL(picture, 25, 26, kOlive0);

  const preview::Picture ground = preview::RenderMapPicture(preview, nullptr, 1);
  EXPECT_EQ(ground.width(), 16);
  EXPECT_PIXEL(ground, 5, 6, kOlive0) << "no units without a mission";
  EXPECT_PIXEL(ground, 10, 1, kWhite);
  EXPECT_TRUE(warnings.empty());
}

TEST_F(Previews, CampaignMissionsOutlineTheirRectangleAndPlaceUnitsFromItsCorner) {
  const auto main = Map("077.qdc", mapmaker::MapBuilder(format::CampaignMap)
                                       .MapInfo(1, 16, 16)
                                       .Set(format::Section::TerrainRhombs, mapmaker::Le().Fill(16 * 16 * 4))
                                       .Build());
  mapmaker::Le units;
  Unit(units.I32(1), Centre(3), Centre(2), 1);
  Map("077000.qdc", mapmaker::MapBuilder(format::CampaignMap, mapmaker::MapBuilder::File::CampaignMission)
                        .Set(format::Section::MissionInfoFirst, mapmaker::Le().I32(2).I32(4).I32(6).I32(5))
                        .Set(format::Section::MapUnits, units)
                        .Set(format::Section::MissionInfoSecond, mapmaker::Le().U32(0).Text("Crossing", 64))
                        .Build());
  const preview::MapPreview preview = Load(main);
  ASSERT_EQ(preview.missions.size(), 1u);
  const preview::MissionPreview& mission = preview.missions[0];
  EXPECT_EQ(mission.name, "mis.000");
  EXPECT_EQ(mission.title, "Crossing");
  const preview::Picture picture = preview::RenderMapPicture(preview, &mission, 4);

  // The rectangle's outer edge runs from pixel (8, 16) to (31, 35), in dashes of four.
  EXPECT_PIXEL(picture, 8, 16, kWhite);
  EXPECT_PIXEL(picture, 12, 16, kBlack);
  EXPECT_PIXEL(picture, 31, 20, kBlack) << "the right side";
  EXPECT_PIXEL(picture, 24, 35, kWhite) << "the bottom side";
  EXPECT_PIXEL(picture, 8, 20, kBlack) << "the left side, dashed from the top";
  EXPECT_PIXEL(picture, 9, 17, kSand0) << "one pixel thick at scale 4";
  EXPECT_PIXEL(picture, 7, 16, kSand0);
  // The unit at (3, 2) of the mission is at cell (5, 6) of the map.
  EXPECT_PIXEL(picture, 22, 26, kBlue);
  const preview::Picture alone = preview::RenderMapPicture(preview, nullptr, 4);
  EXPECT_PIXEL(alone, 8, 16, kSand0) << "the map alone has no rectangle";
}

TEST_F(Previews, SectionsCutShortDrawWhatTheyHold) {
  // The terrain section holds half the cells; then the file ends inside the objects' records.
  mapmaker::Le rhombs;
  for (int i = 0; i < 4 * 4 / 2; ++i) rhombs.U16(13).U16(0);
  core::Bytes container = mapmaker::MapBuilder(format::SinglePlayerMap)
                              .MapInfo(0, 4, 4)
                              .Set(format::Section::TerrainRhombs, rhombs)
                              .Set(format::Section::Objects,
                                   mapmaker::Le().U16(Centre(3)).U16(Centre(3)).U8(0).U8(0).U16(0).U16(0).Fill(10))
                              .Build();
  const preview::MapPreview whole = Load(Map("half.qdm", container));
  const preview::Picture picture = preview::RenderMapPicture(whole, &whole.missions[0], 8);
  EXPECT_PIXEL(picture, 4, 4, kOlive0);
  EXPECT_PIXEL(picture, 31, 15, kOlive0);
  EXPECT_PIXEL(picture, 0, 16, (preview::Rgb{80, 80, 80})) << "cells past the section: a checker board";
  EXPECT_PIXEL(picture, 4, 16, (preview::Rgb{48, 48, 48}));
  EXPECT_PIXEL(picture, 28, 28, kWhite) << "the object is drawn over missing ground";
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("8 of the map's 16 cells"), std::string::npos) << warnings[0];

  // Cut in the middle of the second object record: the first object is still drawn.
  const format::SectionEntry objects = [&] {
    core::ByteStream s;
    s.Load(container);
    format::SectionTable d;
    format::ReadSectionDirectory(s, d);
    return d[format::SectionPosition(format::Section::Objects, format::SinglePlayerMap)];
  }();
  container.resize(static_cast<std::size_t>(objects.offset) + 14);
  const preview::MapPreview cut = Load(Map("cut.qdm", container));
  EXPECT_EQ(cut.objects.size(), 2u) << "the whole first record and the part of the second";
  EXPECT_TRUE(cut.missions[0].units.empty());
}

TEST_F(Previews, UnreadableMapsAndUndrawableSizesFailWithAClearMessage) {
  mapmaker::WriteBytes(dir / "plain.qdm", core::Bytes{'n', 'o', 't', ' ', 'g', 'z'});
  try {
    Load(dir / "plain.qdm");
    FAIL() << "a file that is no gzip member has no picture";
  } catch (const preview::MapPreviewError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("staging the map failed: ", 0), 0u) << e.what();
  }
  const auto huge = Map("huge.qdm", mapmaker::MapBuilder(format::SinglePlayerMap).MapInfo(0, 100000, 4).Build());
  EXPECT_THROW(Load(huge), preview::MapPreviewError);
  const auto empty = Map("empty.qdm", mapmaker::MapBuilder(format::SinglePlayerMap).MapInfo(0, 0, 4).Build());
  EXPECT_THROW(Load(empty), preview::MapPreviewError);

  const preview::MapPreview small =
      Load(Map("small.qdm", mapmaker::MapBuilder(format::SinglePlayerMap).MapInfo(0, 2048, 8).Build()));
  EXPECT_THROW(preview::RenderMapPicture(small, nullptr, 9), std::invalid_argument) << "wider than 16384 pixels";
  EXPECT_EQ(preview::RenderMapPicture(small, nullptr, 8).width(), 16384);
}

TEST(PreviewScale, LongerSideNearestHalfAThousandPixels) {
  EXPECT_EQ(preview::DefaultPreviewScale(32, 24), 16);
  EXPECT_EQ(preview::DefaultPreviewScale(40, 40), 13);
  EXPECT_EQ(preview::DefaultPreviewScale(24, 48), 11);
  EXPECT_EQ(preview::DefaultPreviewScale(512, 512), 1);
  EXPECT_EQ(preview::DefaultPreviewScale(1024, 1024), 1) << "never below one pixel a cell";
  EXPECT_EQ(preview::DefaultPreviewScale(100, 50, 200), 2);
}

TEST(GalleryPage, TextsAndFileNamesAreEscaped) {
  EXPECT_EQ(preview::EscapeHtml("<a href=\"x\">&'"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;");
  EXPECT_EQ(preview::EscapeUrlPath("my map#1?.png"), "my%20map%231%3F.png");
  EXPECT_EQ(preview::EscapeUrlPath("\xE9t\xC3\xA9"), "%E9t%C3%A9");
  preview::GalleryMap map{"<b>", "Campaign", "16x16", "Beach", 2, {{"a b.png", "The map", 64, 64}}, ""};
  const std::string page = preview::GalleryPage({map});
  EXPECT_NE(page.find("<h2>&lt;b&gt;</h2>"), std::string::npos);
  EXPECT_NE(page.find("src=\"a%20b.png\" width=\"64\" height=\"64\""), std::string::npos);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
}

}  // namespace
}  // namespace kartwerk

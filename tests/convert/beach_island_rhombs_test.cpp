#include "convert/records/beach_island_rhombs.hpp"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "convert/records/normal_rhombs.hpp"
#include "tests/support/rhomb_tables_check.hpp"

namespace kartwerk {
namespace {

TEST(BeachIslandRhombTables, EveryTileCodeHasExactlyOneClassAndShape) {
  testing::ExpectEveryCodeClassifiedOnce(records::BeachIslandRhombScheme(), {0, 4, 6, 7}, records::ConvertRhomb2);
}

TEST(BeachIslandRhombTables, TransitionRunsHaveTheirOwnLengths) {
  std::map<std::pair<int, int>, int> pieces;
  for (std::uint32_t c = 0; c <= 0xFFFF; ++c) {
    const records::EditorRhomb r = records::ConvertRhomb2(records::CompiledRhomb{static_cast<std::uint16_t>(c), 0});
    if (r.shape != 0) ++pieces[{r.tileClass, r.shape}];
  }
  for (int shape = 1; shape <= 12; ++shape) EXPECT_EQ((pieces[{4, shape}]), 4) << "class 4 shape " << shape;
  EXPECT_EQ((pieces[{6, 6}]), 5);
  EXPECT_EQ((pieces[{6, 12}]), 3);
  EXPECT_EQ((pieces[{7, 5}]), 3);
  int class6 = 0, class7 = 0;
  for (int shape = 1; shape <= 12; ++shape) {
    class6 += pieces[{6, shape}];
    class7 += pieces[{7, shape}];
  }
  EXPECT_EQ(class6, 48);  // 79..126
  EXPECT_EQ(class7, 47);  // 143..189
}

// tile code, terrain, class, shape
using RhombCase = std::tuple<int, int, int, int>;
class BeachIslandRhombExamples : public ::testing::TestWithParam<RhombCase> {};

TEST_P(BeachIslandRhombExamples, ClassShapeAndTerrain) {
  const auto [code, terrain, tileClass, shape] = GetParam();
  const records::EditorRhomb r = records::ConvertRhomb2(records::CompiledRhomb{static_cast<std::uint16_t>(code), 0});
  EXPECT_EQ(r.terrain, terrain);
  EXPECT_EQ(r.tileClass, tileClass);
  EXPECT_EQ(r.shape, shape);
  EXPECT_EQ(r.tileCode, code);
}

INSTANTIATE_TEST_SUITE_P(Codes, BeachIslandRhombExamples,
                         ::testing::Values(RhombCase{0, 0, 0, 0}, RhombCase{15, 0, 0, 0}, RhombCase{16, 4, 4, 0},
                                           RhombCase{25, 4, 4, 0}, RhombCase{26, 4, 4, 9}, RhombCase{31, 0, 4, 1},
                                           RhombCase{73, 0, 4, 6}, RhombCase{74, 6, 6, 0}, RhombCase{78, 6, 6, 0},
                                           RhombCase{79, 7, 6, 8}, RhombCase{80, 7, 6, 1}, RhombCase{103, 6, 6, 9},
                                           RhombCase{114, 7, 6, 6}, RhombCase{125, 6, 6, 12}, RhombCase{126, 7, 6, 11},
                                           RhombCase{127, 7, 7, 0}, RhombCase{142, 7, 7, 0}, RhombCase{143, 7, 7, 9},
                                           RhombCase{168, 7, 7, 5}, RhombCase{189, 0, 7, 6}, RhombCase{190, 7, 7, 0},
                                           RhombCase{40000, 7, 7, 0}, RhombCase{65535, 7, 7, 0}));

TEST(BeachIslandRhombExamples, SchemesDisagreeOnLowCodes) {
  // 15 is a plain class-2 tile on "Normal" maps but class 0 here.
  EXPECT_EQ(records::ConvertRhomb(records::CompiledRhomb{15, 0}).tileClass, 2);
  EXPECT_EQ(records::ConvertRhomb2(records::CompiledRhomb{15, 0}).tileClass, 0);
}

TEST(BeachIslandRhombBytes, RecordsAreWrittenInFieldOrder) {
  using B = std::array<std::uint8_t, 8>;
  const std::uint8_t record[] = {0x50, 0x00, 0x14, 0x00};  // tile 80, level 20
  EXPECT_EQ(records::ConvertRhomb2(records::CompiledRhomb::Decode(record)).Bytes(),
            (B{0x07, 0x06, 0x01, 0x00, 0x40, 0x01, 0x50, 0x00}));
  for (std::uint16_t word : {15, 16, 31, 40}) {
    // Level bytes follow the same rule as on "Normal" maps.
    EXPECT_EQ(records::ConvertRhomb2(records::CompiledRhomb{80, word}).levelLow,
              records::ConvertRhomb(records::CompiledRhomb{80, word}).levelLow);
    EXPECT_EQ(records::ConvertRhomb2(records::CompiledRhomb{80, word}).levelHigh,
              records::ConvertRhomb(records::CompiledRhomb{80, word}).levelHigh);
  }
}

}  // namespace
}  // namespace kartwerk

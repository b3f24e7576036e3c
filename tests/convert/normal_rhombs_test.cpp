#include "convert/records/normal_rhombs.hpp"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "tests/support/rhomb_tables_check.hpp"

namespace kartwerk {
namespace {

TEST(NormalRhombTables, EveryTileCodeHasExactlyOneClassAndShape) {
  testing::ExpectEveryCodeClassifiedOnce(records::NormalRhombScheme(), {0, 2, 3, 4, 5, 6, 7}, records::ConvertRhomb);
}

TEST(NormalRhombTables, TransitionRunsHaveTheirOwnLengths) {
  // Pieces per class and shape, counted through the converter over the whole code range.
  std::map<std::pair<int, int>, int> pieces;
  for (std::uint32_t c = 0; c <= 0xFFFF; ++c) {
    const records::EditorRhomb r = records::ConvertRhomb(records::CompiledRhomb{static_cast<std::uint16_t>(c), 0});
    if (r.shape != 0) ++pieces[{r.tileClass, r.shape}];
  }
  int total = 0;
  for (const auto& [key, n] : pieces) total += n;
  // 44 + 48 + 48 + 48 + 36 + 49 transition codes.
  EXPECT_EQ(total, 273);
  for (int shape = 1; shape <= 12; ++shape) {
    EXPECT_EQ((pieces[{3, shape}]), 4) << "class 3 shape " << shape;
    EXPECT_EQ((pieces[{5, shape}]), 4) << "class 5 shape " << shape;
    EXPECT_EQ((pieces[{6, shape}]), 3) << "class 6 shape " << shape;
  }
  EXPECT_EQ((pieces[{7, 1}]), 5);  // 354 closes class 7 with a shape 1
  EXPECT_EQ((pieces[{2, 2}]), 3);  // class 2's short run 50..57
  EXPECT_EQ((pieces[{2, 12}]), 4);
}

// tile code, terrain, class, shape
using RhombCase = std::tuple<int, int, int, int>;
class NormalRhombExamples : public ::testing::TestWithParam<RhombCase> {};

TEST_P(NormalRhombExamples, ClassShapeAndTerrain) {
  const auto [code, terrain, tileClass, shape] = GetParam();
  const records::EditorRhomb r = records::ConvertRhomb(records::CompiledRhomb{static_cast<std::uint16_t>(code), 0});
  EXPECT_EQ(r.terrain, terrain);
  EXPECT_EQ(r.tileClass, tileClass);
  EXPECT_EQ(r.shape, shape);
  EXPECT_EQ(r.tileCode, code);
}

INSTANTIATE_TEST_SUITE_P(Codes, NormalRhombExamples,
                         ::testing::Values(RhombCase{0, 0, 0, 0}, RhombCase{12, 0, 0, 0}, RhombCase{13, 2, 2, 0},
                                           RhombCase{25, 2, 2, 0}, RhombCase{26, 2, 2, 9}, RhombCase{31, 0, 2, 1},
                                           RhombCase{69, 0, 2, 6}, RhombCase{70, 3, 3, 0}, RhombCase{100, 0, 3, 8},
                                           RhombCase{128, 4, 4, 0}, RhombCase{136, 4, 4, 0}, RhombCase{137, 4, 4, 9},
                                           RhombCase{184, 0, 4, 6}, RhombCase{185, 4, 4, 0}, RhombCase{186, 4, 4, 0},
                                           RhombCase{187, 5, 5, 0}, RhombCase{197, 4, 5, 8}, RhombCase{198, 4, 5, 1},
                                           RhombCase{202, 5, 5, 5}, RhombCase{244, 5, 5, 12}, RhombCase{245, 6, 6, 0},
                                           RhombCase{255, 6, 6, 9}, RhombCase{290, 0, 6, 6}, RhombCase{291, 7, 7, 0},
                                           RhombCase{305, 7, 7, 0}, RhombCase{306, 7, 7, 9}, RhombCase{353, 7, 7, 12},
                                           RhombCase{354, 0, 7, 1}, RhombCase{355, 7, 7, 0}, RhombCase{1000, 7, 7, 0},
                                           RhombCase{65535, 7, 7, 0}));

TEST(NormalRhombExamples, Code100IsPartnerTerrain) {
  // Class 3's transitions lead to type 0, so shape 8 shows terrain 0, not 3.
  EXPECT_EQ(records::ConvertRhomb(records::CompiledRhomb{100, 0}).terrain, 0);
}

TEST(NormalRhombLevels, LowFourBitsMoveUpAndAnythingAbove15SetsTheFlag) {
  struct Case {
    std::uint16_t word;
    int low, high;
  };
  for (const Case c : {Case{0, 0, 0}, Case{1, 16, 0}, Case{15, 240, 0}, Case{16, 0, 1}, Case{24, 128, 1},
                       Case{31, 240, 1}, Case{32, 0, 1}, Case{40, 128, 1}, Case{65535, 240, 1}}) {
    const records::EditorRhomb r = records::ConvertRhomb(records::CompiledRhomb{0, c.word});
    EXPECT_EQ(r.levelLow, c.low) << "level word " << c.word;
    EXPECT_EQ(r.levelHigh, c.high) << "level word " << c.word;
  }
}

TEST(NormalRhombBytes, RecordsAreWrittenInFieldOrder) {
  using B = std::array<std::uint8_t, 8>;
  EXPECT_EQ(records::ConvertRhomb(records::CompiledRhomb::Decode(B{0, 0, 0, 0})).Bytes(), (B{0, 0, 0, 0, 0, 0, 0, 0}));
  const std::uint8_t record[] = {0x64, 0x00, 0x03, 0x00};  // tile 100, level 3
  EXPECT_EQ(records::ConvertRhomb(records::CompiledRhomb::Decode(record)).Bytes(),
            (B{0x00, 0x03, 0x08, 0x00, 0x30, 0x00, 0x64, 0x00}));
  const std::uint8_t high[] = {0x34, 0x12, 0x1F, 0xAB};  // tile 0x1234 (plain class 7), level 0xAB1F
  EXPECT_EQ(records::ConvertRhomb(records::CompiledRhomb::Decode(high)).Bytes(), (B{7, 7, 0, 0, 0xF0, 1, 0x34, 0x12}));
}

TEST(NormalRhombBytes, AShortRecordReadsZeros) {
  const std::uint8_t shortRecord[] = {0xC5};  // tile 197, the rest missing
  const records::CompiledRhomb r = records::CompiledRhomb::Decode(shortRecord);
  EXPECT_EQ(r.tileCode, 197);
  EXPECT_EQ(r.levelWord, 0);
}

}  // namespace
}  // namespace kartwerk

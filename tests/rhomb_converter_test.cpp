// A whole terrain section converted with remembered tile codes must give, rhomb for rhomb,
// what the scheme's tables give for each rhomb on its own.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "convert/rhombs.hpp"
#include "convert/rhombs2.hpp"

namespace kartwerk {
namespace {

void ExpectSame(const EditorRhomb& got, const EditorRhomb& want, const CompiledRhomb& rhomb) {
  EXPECT_EQ(got.Bytes(), want.Bytes()) << "code " << rhomb.tileCode << " level " << rhomb.levelWord;
}

TEST(RhombConverterTest, EveryTileCodeOfBothSchemesConvertsAsTheTablesSay) {
  RhombConverter normal(NormalRhombScheme());
  RhombConverter beach(BeachIslandRhombScheme());
  for (std::uint32_t code = 0; code <= 0xFFFF; ++code) {
    // The level bytes differ from one rhomb of a code to the next; the rest must not stick.
    const CompiledRhomb rhomb{static_cast<std::uint16_t>(code), static_cast<std::uint16_t>(code % 37)};
    ExpectSame(normal.Convert(rhomb), ConvertRhomb(rhomb), rhomb);
    ExpectSame(beach.Convert(rhomb), ConvertRhomb2(rhomb), rhomb);
    std::array<std::uint8_t, kEditorRhombSize> written;
    written.fill(0xEE);
    normal.ConvertInto(rhomb, written.data());
    EXPECT_EQ(written, ConvertRhomb(rhomb).Bytes()) << "code " << code;
    beach.ConvertInto(rhomb, written.data());
    EXPECT_EQ(written, ConvertRhomb2(rhomb).Bytes()) << "code " << code;
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(RhombConverterTest, ARememberedCodeTakesEachRhombsOwnLevel) {
  RhombConverter normal(NormalRhombScheme());
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) {
    // Few codes, many levels: nearly every rhomb finds its code remembered.
    const CompiledRhomb rhomb{static_cast<std::uint16_t>(rng() % 40 * 9), static_cast<std::uint16_t>(rng())};
    ExpectSame(normal.Convert(rhomb), ConvertRhomb(rhomb), rhomb);
    std::array<std::uint8_t, kEditorRhombSize> written;
    normal.ConvertInto(rhomb, written.data());
    EXPECT_EQ(written, ConvertRhomb(rhomb).Bytes()) << "code " << rhomb.tileCode;
    if (::testing::Test::HasFailure()) return;
  }
  const EditorRhomb high = normal.Convert({31, 16});
  EXPECT_EQ(high.levelLow, 0);
  EXPECT_EQ(high.levelHigh, 1);
  const EditorRhomb low = normal.Convert({31, 15});
  EXPECT_EQ(low.levelLow, 0xF0);
  EXPECT_EQ(low.levelHigh, 0);
  EXPECT_EQ(low.shape, high.shape);
}

}  // namespace
}  // namespace kartwerk

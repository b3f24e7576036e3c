// A whole terrain section converted with remembered tile codes must give, rhomb for rhomb,
// what the scheme's tables give for each rhomb on its own.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "convert/records/beach_island_rhombs.hpp"
#include "convert/records/normal_rhombs.hpp"
#include "convert/writers/rhombs_file.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

void ExpectSame(const records::EditorRhomb& got, const records::EditorRhomb& want,
                const records::CompiledRhomb& rhomb) {
  EXPECT_EQ(got.Bytes(), want.Bytes()) << "code " << rhomb.tileCode << " level " << rhomb.levelWord;
}

TEST(RhombConverterTest, EveryTileCodeOfBothSchemesConvertsAsTheTablesSay) {
  records::RhombConverter normal(records::NormalRhombScheme());
  records::RhombConverter beach(records::BeachIslandRhombScheme());
  for (std::uint32_t code = 0; code <= 0xFFFF; ++code) {
    // The level bytes differ from one rhomb of a code to the next; the rest must not stick.
    const records::CompiledRhomb rhomb{static_cast<std::uint16_t>(code), static_cast<std::uint16_t>(code % 37)};
    ExpectSame(normal.Convert(rhomb), records::ConvertRhomb(rhomb), rhomb);
    ExpectSame(beach.Convert(rhomb), records::ConvertRhomb2(rhomb), rhomb);
    std::array<std::uint8_t, records::EditorRhomb::kSize> written;
    written.fill(0xEE);
    normal.ConvertInto(rhomb, written.data());
    EXPECT_EQ(written, records::ConvertRhomb(rhomb).Bytes()) << "code " << code;
    beach.ConvertInto(rhomb, written.data());
    EXPECT_EQ(written, records::ConvertRhomb2(rhomb).Bytes()) << "code " << code;
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(RhombConverterTest, ARememberedCodeTakesEachRhombsOwnLevel) {
  records::RhombConverter normal(records::NormalRhombScheme());
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) {
    // Few codes, many levels: nearly every rhomb finds its code remembered.
    const records::CompiledRhomb rhomb{static_cast<std::uint16_t>(rng() % 40 * 9), static_cast<std::uint16_t>(rng())};
    ExpectSame(normal.Convert(rhomb), records::ConvertRhomb(rhomb), rhomb);
    std::array<std::uint8_t, records::EditorRhomb::kSize> written;
    normal.ConvertInto(rhomb, written.data());
    EXPECT_EQ(written, records::ConvertRhomb(rhomb).Bytes()) << "code " << rhomb.tileCode;
    if (::testing::Test::HasFailure()) return;
  }
  const records::EditorRhomb high = normal.Convert({31, 16});
  EXPECT_EQ(high.levelLow, 0);
  EXPECT_EQ(high.levelHigh, 1);
  const records::EditorRhomb low = normal.Convert({31, 15});
  EXPECT_EQ(low.levelLow, 0xF0);
  EXPECT_EQ(low.levelHigh, 0);
  EXPECT_EQ(low.shape, high.shape);
}

// The "rhombs" writer walks the section in place and converts with remembered codes; a
// section that runs past the end of the container still gives one record per stored rhomb,
// the ones past the end converted from zeros, exactly as rhomb-by-rhomb conversion gives.
TEST(RhombConverterTest, TheRhombsFileIsTheRhombByRhombConversionAlsoPastTheEnd) {
  for (std::uint32_t scheme : {0u, 1u}) {
    std::mt19937 rng(scheme + 11);
    core::Bytes terrain;
    for (int i = 0; i < 600; ++i) {
      core::PutU16(terrain, static_cast<std::uint16_t>(rng() % 420));
      core::PutU16(terrain, static_cast<std::uint16_t>(rng() % 40));
    }
    core::Bytes container = mapmaker::MapBuilder(format::SinglePlayerMap)
                                .MapInfo(scheme, 30, 20)
                                .SetAt(1, "A", {})
                                .SetAt(2, "B", {})
                                .SetAt(3, "TERRAIN", terrain)
                                .Build();
    // Cut the file 250 rhombs and 2 bytes into the terrain data: rhomb 250 keeps its code and
    // loses its level, and 349 more lie wholly past the end.
    const std::size_t terrainAt = container.size() - terrain.size() - 20 * 16;  // 20 empty entries follow
    container.resize(terrainAt + 250 * 4 + 2);

    mapmaker::ScratchFolder dir;
    format::Conversion c;
    c.MapKind = format::SinglePlayerMap;
    c.SlotFolder = dir.path();
    c.MissionStream.Load(container);
    c.MiniEntryCount = format::ReadSectionDirectory(c.MissionStream, c.SectionDirectory);
    ASSERT_EQ(c.Entry(format::Section::TerrainRhombs).offset, static_cast<std::int32_t>(terrainAt));
    c.MapInfoRecord.TerrainScheme = scheme;
    writers::WriteRhombsFile(c);

    core::Bytes expected;
    for (std::size_t i = 0; i < 600; ++i) {
      core::Bytes record(4, 0);
      for (std::size_t b = 0; b < 4; ++b) {
        if (terrainAt + 4 * i + b < container.size()) record[b] = container[terrainAt + 4 * i + b];
      }
      const records::CompiledRhomb rhomb = records::CompiledRhomb::Decode(record);
      const auto bytes = (scheme == 0 ? records::ConvertRhomb(rhomb) : records::ConvertRhomb2(rhomb)).Bytes();
      expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    const core::Bytes written = mapmaker::ReadBytes(dir / "rhombs");
    EXPECT_EQ(written.size(), 600u * 8) << "scheme " << scheme;
    EXPECT_TRUE(written == expected) << "scheme " << scheme;
  }
}

}  // namespace
}  // namespace kartwerk

#include "convert/records/cell_flags.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "mapmaker/map_builder.hpp"

namespace kartwerk {
namespace {

using mapmaker::Le;

TEST(CellFlagWord, RecordOnAnUnmarkedCell) {
  // lo 5 - hi 3 = 2; byte 1 has bit 7 set (no bit 6), bits 4-5 = 1, low nibble 8 (bit 14).
  EXPECT_EQ(records::CellFlagWord(0x35, 0x98, 0), 0x4012);
}

TEST(CellFlagWord, CliffMarkFlipsBits4And5) {
  EXPECT_EQ(records::CellFlagWord(0x35, 0x98, 3), 0x4022);  // 1 xor 3 = 2
  EXPECT_EQ(records::CellFlagWord(0x35, 0x98, 1), 0x4002);  // 1 xor 1 = 0
  EXPECT_EQ(records::CellFlagWord(0x35, 0x88, 2), 0x4022);  // 0 xor 2 = 2
  // A mark outside 0..3 leaves bits 4 and 5 clear whatever byte 1 holds.
  EXPECT_EQ(records::CellFlagWord(0x35, 0xB8, 4), 0x4002);
  EXPECT_EQ(records::CellFlagWord(0x35, 0xB8, 255), 0x4002);
}

TEST(CellFlagWord, LowNibbleCountsOnlyWhenAboveHighNibble) {
  EXPECT_EQ(records::CellFlagWord(0x0F, 0x80, 0) & 0x0F, 15);
  EXPECT_EQ(records::CellFlagWord(0x33, 0x80, 0) & 0x0F, 0);
  EXPECT_EQ(records::CellFlagWord(0x53, 0x80, 0) & 0x0F, 0);
  EXPECT_EQ(records::CellFlagWord(0xEF, 0x80, 0) & 0x0F, 1);
}

TEST(CellFlagWord, Byte1Bits) {
  EXPECT_EQ(records::CellFlagWord(0, 0x00, 0), 0x0040);  // bit 7 clear: bit 6
  EXPECT_EQ(records::CellFlagWord(0, 0x40, 0), 0x0040);  // bit 6 of byte 1 is not used
  EXPECT_EQ(records::CellFlagWord(0, 0xC0, 0), 0x0000);
  EXPECT_EQ(records::CellFlagWord(0, 0x87, 0), 0x0000);  // low nibble 7: no bit 14
  EXPECT_EQ(records::CellFlagWord(0, 0x89, 0), 0x0000);
  EXPECT_EQ(records::CellFlagWord(0, 0x08, 0), 0x4040);
  // Bits 7, 8 and 15 never appear.
  for (int b0 = 0; b0 < 256; ++b0) {
    for (int b1 = 0; b1 < 256; ++b1) {
      for (int mark = 0; mark < 5; ++mark) {
        const auto word = records::CellFlagWord(static_cast<std::uint8_t>(b0), static_cast<std::uint8_t>(b1),
                                                static_cast<std::uint8_t>(mark));
        ASSERT_EQ(word & 0x8380, 0) << b0 << " " << b1 << " " << mark;
      }
    }
  }
}

TEST(ComputeCellFlags, ThreeSectionsMeetInOneWord) {
  // The description's cell: 0x4022, plus bit 9 from section 2 and 0x0A00 << 2 from section 3.
  const core::Bytes s4 = mapmaker::Le().U8(0x35).U8(0x98).U8(0xFF).U8(0xFF);  // bytes 2 and 3 are not used
  const core::Bytes s1 = {1};
  const core::Bytes s2 = mapmaker::Le().U16(0x0A00);
  const core::Bytes grid = {3};
  const auto words = records::ComputeCellFlags(s4, s1, s2, grid);
  ASSERT_EQ(words.size(), 1u);
  EXPECT_EQ(words[0], 0x4022 | 0x0200 | 0x2800);
}

TEST(ComputeCellFlags, OnlyBits8To11OfTheTwoByteValueAndOnlyByteValue1Count) {
  const core::Bytes s4 = mapmaker::Le().U32(0x8000).U32(0x8000).U32(0x8000);  // byte 1 = 0x80: word 0
  const core::Bytes s1 = {2, 1, 0xFF};
  const core::Bytes s2 = mapmaker::Le().U16(0xF0FF).U16(0x0100).U16(0x0F00);
  const auto words = records::ComputeCellFlags(s4, s1, s2, core::Bytes(3, 0));
  EXPECT_EQ(words, (std::vector<std::uint16_t>{0, 0x0200 | 0x0400, 0x3C00}));
}

TEST(ComputeCellFlags, SurplusRecordsOfSection1AreUnmarkedCells) {
  const core::Bytes s4 = mapmaker::Le().U32(0x9800).U32(0x9800).U32(0x9800);  // bits 4-5 = 1 in each
  const core::Bytes grid = {2};                                               // one cell of grid only
  const auto words = records::ComputeCellFlags(s4, {}, {}, grid);
  EXPECT_EQ(words, (std::vector<std::uint16_t>{0x4030, 0x4010, 0x4010}));
}

TEST(ComputeCellFlags, SectionsTwoAndThreeStopAtSection1sCells) {
  const core::Bytes s4 = mapmaker::Le().U32(0x8000).U32(0x8000);
  const core::Bytes s1 = {1, 1, 1, 1, 1};
  const core::Bytes s2 = mapmaker::Le().U16(0x0100).U16(0x0100).U16(0x0100);
  const auto words = records::ComputeCellFlags(s4, s1, s2, {});
  EXPECT_EQ(words, (std::vector<std::uint16_t>{0x0600, 0x0600}));
}

TEST(ComputeCellFlags, ShortSectionsLeaveTheRestAlone) {
  const core::Bytes s4 = mapmaker::Le().U32(0x8000).U32(0x8000).U32(0x8000).U8(0x01);  // a trailing partial record
  const core::Bytes s1 = {1};
  const core::Bytes s2 = mapmaker::Le().U16(0x0300).U8(0x0F);  // a trailing partial value
  const auto words = records::ComputeCellFlags(s4, s1, s2, {});
  EXPECT_EQ(words, (std::vector<std::uint16_t>{0x0200 | 0x0C00, 0, 0}));
}

TEST(CellFlagBytes, PiecesGiveTheWordsLittleEndianWhereverTheSectionsEnd) {
  // 300 cells; the cliff grid ends at cell 120, section 1 at 200, section 2 at 250: pieces of
  // 64 cells cross every one of these ends.
  mapmaker::Le s4;
  for (int r = 0; r < 300; ++r) s4.U8(static_cast<std::uint8_t>(r * 37)).U8(static_cast<std::uint8_t>(r * 11)).U16(0);
  core::Bytes s1(200), s2(500), grid(120);
  for (std::size_t r = 0; r < s1.size(); ++r) s1[r] = static_cast<std::uint8_t>(r % 3);
  for (std::size_t i = 0; i < s2.size(); ++i) s2[i] = static_cast<std::uint8_t>(i * 13);
  for (std::size_t r = 0; r < grid.size(); ++r) grid[r] = static_cast<std::uint8_t>(r % 5);
  const core::Bytes records4 = s4;
  const auto words = records::ComputeCellFlags(records4, s1, s2, grid);
  ASSERT_EQ(words.size(), 300u);
  const records::CellFlagSources sources{records4, s1, s2, grid};
  core::Bytes bytes(600);
  for (std::size_t first = 0; first < 300; first += 64) {
    records::CellFlagBytes(sources, first, std::min<std::size_t>(64, 300 - first), bytes.data() + 2 * first);
  }
  for (std::size_t r = 0; r < 300; ++r) {
    const std::uint8_t mark = r < grid.size() ? grid[r] : 0;
    std::uint16_t expected = records::CellFlagWord(records4[4 * r], records4[4 * r + 1], mark);
    if (r < s1.size() && s1[r] == 1) expected |= 1u << 9;
    if (r < s2.size() / 2) expected |= static_cast<std::uint16_t>((s2[2 * r + 1] & 0x0F) << 10);
    ASSERT_EQ(words[r], expected) << r;
    ASSERT_EQ(bytes[2 * r] | bytes[2 * r + 1] << 8, expected) << r;
  }
}

}  // namespace
}  // namespace kartwerk

#include "convert/records/cliff_grid.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "core/byte_stream.hpp"

namespace kartwerk {
namespace {

records::CliffMask Filled(std::uint8_t value) {
  records::CliffMask mask;
  mask.fill(value);
  return mask;
}

TEST(CombineCliffMark, MarksCombineLikeTwoBits) {
  // m, before -> after
  const std::uint8_t expected[4][4] = {
      {0, 1, 2, 3},  // m 0: unchanged
      {1, 1, 3, 3},  // m 1
      {2, 3, 2, 3},  // m 2
      {3, 3, 3, 3},  // m 3
  };
  for (std::uint8_t m = 0; m < 4; ++m) {
    for (std::uint8_t v = 0; v < 4; ++v)
      EXPECT_EQ(records::CombineCliffMark(v, m), expected[m][v]) << int(m) << " " << int(v);
  }
  for (int m = 4; m < 256; ++m) {
    for (std::uint8_t v = 0; v < 4; ++v) EXPECT_EQ(records::CombineCliffMark(v, static_cast<std::uint8_t>(m)), v);
  }
}

TEST(CliffMaskAt, TakesTheMasksBytesAndZeroFillsPastTheEnd) {
  core::Bytes data(49 * 2 + 20);
  std::iota(data.begin(), data.end(), std::uint8_t{0});
  const records::CliffMask second = records::CliffMaskAt(data, 1);
  EXPECT_EQ(second[0], 49);
  EXPECT_EQ(second[48], 97);
  const records::CliffMask partial = records::CliffMaskAt(data, 2);
  EXPECT_EQ(partial[0], 98);
  EXPECT_EQ(partial[19], 117);
  EXPECT_EQ(partial[20], 0);
  EXPECT_EQ(partial[48], 0);
  EXPECT_EQ(records::CliffMaskAt(data, 3), Filled(0));
  EXPECT_EQ(records::CliffMaskAt(data, 65535), Filled(0));
  EXPECT_EQ(records::CliffMaskAt({}, 0), Filled(0));
}

TEST(StampCliffMask, CellAtTheOriginStampsTheLowerRightQuarter) {
  std::vector<std::uint8_t> grid(10 * 10, 0);
  records::CliffMask mask = Filled(1);
  records::StampCliffMask(grid, 10, 10, mask, 0, 0);
  for (int row = 0; row < 10; ++row) {
    for (int col = 0; col < 10; ++col) {
      EXPECT_EQ(grid[row * 10 + col], (row <= 3 && col <= 3) ? 1 : 0) << col << "," << row;
    }
  }
}

TEST(StampCliffMask, MaskRowsAndColumnsLandOnTheirOffsets) {
  // Values above 3 have no effect, so stamp a mask of 1s with one 2 at row 1, column 5
  // (offset dx +2, dy -2) and one 3 at row 6, column 0 (dx -3, dy +3).
  records::CliffMask mask = Filled(0);
  mask[1 * 7 + 5] = 2;
  mask[6 * 7 + 0] = 3;
  std::vector<std::uint8_t> grid(20 * 20, 0);
  records::StampCliffMask(grid, 20, 20, mask, 10, 10);
  EXPECT_EQ(grid[8 * 20 + 12], 2);
  EXPECT_EQ(grid[13 * 20 + 7], 3);
  EXPECT_EQ(std::count(grid.begin(), grid.end(), 0), 400 - 2);
}

TEST(StampCliffMask, LastColumnDoesNotWrapIntoTheNextRow) {
  const int width = 100, height = 80;
  std::vector<std::uint8_t> grid(width * height, 0);
  records::StampCliffMask(grid, width, height, Filled(3), 99, 40);
  for (int row = 0; row < height; ++row) {
    for (int col = 0; col < width; ++col) {
      const bool inside = col >= 96 && row >= 37 && row <= 43;
      ASSERT_EQ(grid[row * width + col], inside ? 3 : 0) << col << "," << row;
    }
  }
}

TEST(StampCliffMask, WindowOutsideTheGridStampsNothing) {
  std::vector<std::uint8_t> grid(8 * 6, 0);
  records::StampCliffMask(grid, 8, 6, Filled(3), 11, 2);  // more than 3 cells beyond the last column
  records::StampCliffMask(grid, 8, 6, Filled(3), 2, 9);   // more than 3 rows beyond the last row
  EXPECT_EQ(std::count(grid.begin(), grid.end(), 0), 48);
  records::StampCliffMask(grid, 8, 6, Filled(3), 10, 8);  // exactly 3 beyond: one corner cell
  EXPECT_EQ(grid[5 * 8 + 7], 3);
  EXPECT_EQ(std::count(grid.begin(), grid.end(), 0), 47);
}

TEST(StampCliffMask, OverlappingStampsCombineInEitherOrder) {
  std::vector<std::uint8_t> a(9 * 9, 0), b(9 * 9, 0);
  records::StampCliffMask(a, 9, 9, Filled(1), 3, 3);
  records::StampCliffMask(a, 9, 9, Filled(2), 5, 5);
  records::StampCliffMask(b, 9, 9, Filled(2), 5, 5);
  records::StampCliffMask(b, 9, 9, Filled(1), 3, 3);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a[4 * 9 + 4], 3);
  EXPECT_EQ(a[0], 1);
  EXPECT_EQ(a[8 * 9 + 8], 2);
  // A 0 mask clears nothing.
  records::StampCliffMask(a, 9, 9, Filled(0), 4, 4);
  EXPECT_EQ(a, b);
}

TEST(StampCliffMask, ShortGridOrEmptyMapIsSafe) {
  std::vector<std::uint8_t> grid(10, 0);  // smaller than 10 x 10
  records::StampCliffMask(grid, 10, 10, Filled(3), 5, 5);
  EXPECT_EQ(std::count(grid.begin(), grid.end(), 0), 10);
  std::vector<std::uint8_t> none;
  records::StampCliffMask(none, 0, 0, Filled(3), 0, 0);
  records::StampCliffMask(none, -5, 7, Filled(3), 0, 0);
  EXPECT_TRUE(none.empty());
}

TEST(CliffGridCells, WholeMapsAndImplausibleOnes) {
  EXPECT_EQ(records::CliffGridCells(160, 160, 100), 25600u);
  EXPECT_EQ(records::CliffGridCells(2048, 2048, 0), 2048u * 2048u);
  EXPECT_EQ(records::CliffGridCells(0, 50, 100), 0u);
  EXPECT_EQ(records::CliffGridCells(50, -1, 100), 0u);
  // A map no container could describe is held only as far as it can be read.
  EXPECT_LT(records::CliffGridCells(0x7FFFFFFF, 0x7FFFFFFF, 1000), 5'000'000u);
  EXPECT_EQ(records::CliffGridCells(0x7FFFFFFF, 0x7FFFFFFF, 10'000'000), 10'000'000u);
}

TEST(StampCliffMask, AGridShorterThanTheMapTakesOnlyTheCellsItHolds) {
  // A 10 x 10 map whose grid holds 45 cells: a stamp around (5, 4) reaches rows 1 to 7, and
  // row 4 ends inside the grid at cell 44.
  std::vector<std::uint8_t> grid(45, 0);
  records::CliffMask mask = Filled(9);  // values over 3 change nothing
  mask[3 * 7 + 2] = 1;                  // (4, 4): cell 44, the last one held
  mask[3 * 7 + 3] = 2;                  // (5, 4): cell 45, past the grid
  mask[0 * 7 + 6] = 3;                  // (8, 1): cell 18
  records::StampCliffMask(grid, 10, 10, mask, 5, 4);
  EXPECT_EQ(grid[44], 1);
  EXPECT_EQ(grid[18], 3);
  EXPECT_EQ(std::count(grid.begin(), grid.end(), 0), 43);
}

TEST(StampCliffMask, EveryMaskValueLandsAsCombineCliffMarkSaysWhereverTheStampIs) {
  // Masks of every byte value over grids already marked, stamped inside the map, at its edges
  // and at the end of a short grid, against CombineCliffMark cell by cell.
  const int width = 12, height = 9;
  for (std::size_t gridCells : {std::size_t{width * height}, std::size_t{width * height - 5}}) {
    for (int cy : {0, 2, 4, 8}) {
      for (int cx : {0, 3, 6, 11}) {
        for (int seed = 0; seed < 6; ++seed) {
          records::CliffMask mask;
          for (std::size_t i = 0; i < mask.size(); ++i) mask[i] = static_cast<std::uint8_t>((i * 37 + seed * 91) % 256);
          std::vector<std::uint8_t> grid(gridCells);
          for (std::size_t i = 0; i < grid.size(); ++i) grid[i] = static_cast<std::uint8_t>((i + seed) % 4);
          std::vector<std::uint8_t> expected = grid;
          for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -3; dx <= 3; ++dx) {
              const int x = cx + dx, y = cy + dy;
              const std::size_t cell = static_cast<std::size_t>(y * width + x);
              if (x < 0 || x >= width || y < 0 || y >= height || cell >= expected.size()) continue;
              expected[cell] =
                  records::CombineCliffMark(expected[cell], mask[static_cast<std::size_t>((dy + 3) * 7 + dx + 3)]);
            }
          }
          records::StampCliffMask(grid, width, height, mask, cx, cy);
          ASSERT_EQ(grid, expected) << cx << "," << cy << " seed " << seed << " cells " << gridCells;
        }
      }
    }
  }
}

}  // namespace
}  // namespace kartwerk

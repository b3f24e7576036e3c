#include "convert/records/cliff_grid.hpp"

#include <algorithm>
#include <cstring>

namespace kartwerk::records {
namespace {

// Every map whose cells 16-bit positions can address (2048 x 2048, and the three cells a
// mask reaches beyond) keeps its whole grid.
constexpr std::int64_t kAddressableCells = 2051LL * 2051LL;

// One row of seven mask values as a word (its eighth byte 0), each kept only when it is a mark
// (1 to 3; a value with any of bits 2-7 set becomes 0), byte by byte without carries between
// bytes: a whole row then lands with one bitwise or.
std::uint64_t MarkRow(const std::uint8_t* values) {
  std::uint64_t row = 0;
  std::memcpy(&row, values, 7);
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const std::uint64_t noMark = row & 0xFCFCFCFCFCFCFCFCull;
  // Bit 7 of each byte set where that byte of noMark is 0.
  const std::uint64_t clear = ~(((noMark & kLow7) + kLow7) | noMark | kLow7);
  return row & ((clear >> 7) * 0xFF);
}

}  // namespace

CliffMask CliffMaskAt(std::span<const std::uint8_t> cliffData, std::uint32_t variant) {
  CliffMask mask{};
  const std::uint64_t first = static_cast<std::uint64_t>(variant) * kCliffMaskSize;
  if (first + kCliffMaskSize <= cliffData.size()) {  // the usual case: the whole mask at once
    std::copy_n(cliffData.begin() + static_cast<std::ptrdiff_t>(first), kCliffMaskSize, mask.begin());
    return mask;
  }
  for (std::size_t i = 0; i < kCliffMaskSize; ++i) {
    if (first + i < cliffData.size()) mask[i] = cliffData[first + i];
  }
  return mask;
}

std::uint8_t CombineCliffMark(std::uint8_t before, std::uint8_t m) {
  switch (m) {
    case 1: return (before == 2 || before == 3) ? 3 : 1;
    case 2: return (before == 1 || before == 3) ? 3 : 2;
    case 3: return 3;
    default: return before;
  }
}

std::size_t CliffGridCells(std::int32_t width, std::int32_t height, std::int64_t containerSize) {
  if (width <= 0 || height <= 0) return 0;
  const std::int64_t cells = static_cast<std::int64_t>(width) * height;
  return static_cast<std::size_t>(std::min(cells, std::max(kAddressableCells, containerSize)));
}

void StampCliffMask(std::vector<std::uint8_t>& grid, std::int32_t width, std::int32_t height, const CliffMask& mask,
                    std::int32_t cx, std::int32_t cy) {
  const std::int64_t w = width, h = height, cells = static_cast<std::int64_t>(grid.size());
  const std::int64_t dxFirst = -std::min<std::int64_t>(cx, 3), dxLast = std::min<std::int64_t>(3, w - 1 - cx);
  const std::int64_t dyFirst = -std::min<std::int64_t>(cy, 3), dyLast = std::min<std::int64_t>(3, h - 1 - cy);
  // The grid holds marks 0 to 3, so landing a mask value of 1 to 3 is a bitwise or; other
  // values change nothing. Each row's cells are clipped to the grid once.
  for (std::int64_t dy = dyFirst; dy <= dyLast; ++dy) {
    const std::int64_t rowStart = (cy + dy) * w + cx;
    const std::int64_t from = std::max(dxFirst, -rowStart), to = std::min(dxLast, cells - 1 - rowStart);
    if (from == -3 && to == 3 && rowStart + 5 <= cells) {  // the usual whole row, and a grid byte after it
      std::uint8_t* const first = grid.data() + (rowStart - 3);
      std::uint64_t marks = 0;
      std::memcpy(&marks, first, sizeof marks);
      marks |= MarkRow(mask.data() + (dy + 3) * 7);
      std::memcpy(first, &marks, sizeof marks);
      continue;
    }
    const std::uint8_t* values = mask.data() + (dy + 3) * 7 + 3;
    for (std::int64_t dx = from; dx <= to; ++dx) {
      const std::uint8_t m = values[dx];
      std::uint8_t& cell = grid[static_cast<std::size_t>(rowStart + dx)];
      cell = static_cast<std::uint8_t>(cell | (m <= 3 ? m : 0));
    }
  }
}

}  // namespace kartwerk::records

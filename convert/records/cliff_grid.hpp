// The cliff grid: one mark per map cell, stamped by cliff objects through the 7 x 7 masks of
// "cliffdata" and read back cell by cell by the "cflags" writer.
//
// Marks: 0 unmarked, 1 and 2 the two cliff marks, 3 both. Marks combine like two bits and
// a stamp never clears one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kartwerk::records {

inline constexpr std::size_t kCliffMaskSize = 49;  // 7 rows of 7 bytes
using CliffMask = std::array<std::uint8_t, kCliffMaskSize>;

// Mask number variant of the "cliffdata" content: bytes 49 x variant to 49 x variant + 48.
// Bytes past the end of the data read as 0 (no effect).
CliffMask CliffMaskAt(std::span<const std::uint8_t> cliffData, std::uint32_t variant);

// The mark of a cell after a mask value m lands on a cell holding before.
std::uint8_t CombineCliffMark(std::uint8_t before, std::uint8_t m);

// Number of grid bytes to hold for a map of width x height cells (0 when either is not
// positive): width x height for every map whose cells 16-bit positions can address. The
// "cflags" writer reads no more cells than the container holds 4-byte records (and a few
// thousand past its end), so for an implausibly large map only as many cells as the
// container has bytes are held; marks beyond them could never be read.
std::size_t CliffGridCells(std::int32_t width, std::int32_t height, std::int64_t containerSize);

// Stamps mask onto grid around cell (cx, cy) of a map width cells wide and height cells high,
// clipped to the map: column offsets -min(cx, 3) to min(3, width - 1 - cx), rows likewise.
// Cells whose index lies past the end of grid are left alone. The grid must hold marks (0 to 3)
// only, as a grid cleared to 0 and stamped does.
void StampCliffMask(std::vector<std::uint8_t>& grid, std::int32_t width, std::int32_t height, const CliffMask& mask,
                    std::int32_t cx, std::int32_t cy);

}  // namespace kartwerk::records

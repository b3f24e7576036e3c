// The editor's cell-flag words ("cflags"): one 16-bit word per map cell, combined from the
// three compiled cell-flag sections and the cliff marks the objects left in CliffGrid.
//
// Word layout, bit 0 least significant:
//   0-3   lo - hi of byte 0 of the cell's 4-byte record when lo > hi, else 0
//   4-5   bits 4-5 of byte 1, exclusive-or the cell's cliff mark (0 when the mark is over 3)
//   6     set when bit 7 of byte 1 is clear
//   9     set when the cell's byte in the 1-byte section is 1
//   10-13 bits 8-11 of the cell's value in the 2-byte section
//   14    set when the low four bits of byte 1 are 8
//   7, 8, 15 always clear; bytes 2-3 of the 4-byte record and bit 6 of byte 1 are unused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kartwerk::records {

// Word of one cell from its 4-byte record's first two bytes and its cliff mark.
std::uint16_t CellFlagWord(std::uint8_t byte0, std::uint8_t byte1, std::uint8_t cliffMark);

// All words, in cell order: one per whole 4-byte record of records4; then bit 9 from
// records1 and bits 10-13 from records2 (16-bit little-endian values), cell by cell. A
// cell past the end of cliffGrid counts as unmarked; surplus bytes or values of the two
// other sections, beyond the cells of records4, are ignored.
std::vector<std::uint16_t> ComputeCellFlags(std::span<const std::uint8_t> records4,
                                            std::span<const std::uint8_t> records1,
                                            std::span<const std::uint8_t> records2,
                                            std::span<const std::uint8_t> cliffGrid);

// The sections a "cflags" file is made from, as ComputeCellFlags takes them.
struct CellFlagSources {
  std::span<const std::uint8_t> records4, records1, records2, cliffGrid;
  std::size_t Cells() const { return records4.size() / 4; }
};

// Words count cells from cell first on (first + count <= Cells()), as ComputeCellFlags gives
// them, written to out as 2 x count little-endian bytes: the "cflags" writer makes its file
// a piece at a time in its output buffer.
void CellFlagBytes(const CellFlagSources& sources, std::size_t first, std::size_t count, std::uint8_t* out);

}  // namespace kartwerk::records

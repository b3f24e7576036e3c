#include "convert/cell_flags.hpp"

#include <algorithm>

#include "core/byte_stream.hpp"

namespace kartwerk {

std::uint16_t CellFlagWord(std::uint8_t byte0, std::uint8_t byte1, std::uint8_t cliffMark) {
  std::uint16_t word = 0;
  const int hi = byte0 >> 4, lo = byte0 & 0x0F;
  if (lo > hi) word = static_cast<std::uint16_t>(word + (lo - hi));
  if ((byte1 & 0x80) == 0) word |= 1u << 6;
  if (cliffMark <= 3) word |= static_cast<std::uint16_t>((((byte1 >> 4) & 0x03) ^ cliffMark) << 4);
  if ((byte1 & 0x0F) == 8) word |= 1u << 14;
  return word;
}

std::vector<std::uint16_t> ComputeCellFlags(std::span<const std::uint8_t> records4,
                                            std::span<const std::uint8_t> records1,
                                            std::span<const std::uint8_t> records2,
                                            std::span<const std::uint8_t> cliffGrid) {
  // One pass over the cells (a million on the largest maps), each word made in the order of
  // the three sections: the 4-byte record and the cliff mark, then bit 9 from the 1-byte
  // record, then bits 10-13 added from the 2-byte record.
  std::vector<std::uint16_t> words(records4.size() / 4);
  const std::size_t cells1 = std::min(words.size(), records1.size());
  const std::size_t cells2 = std::min(words.size(), records2.size() / 2);
  const std::size_t marked = std::min(words.size(), cliffGrid.size());
  for (std::size_t r = 0; r < words.size(); ++r) {
    const std::uint8_t mark = r < marked ? cliffGrid[r] : 0;
    std::uint16_t word = CellFlagWord(records4[4 * r], records4[4 * r + 1], mark);
    if (r < cells1 && records1[r] == 1) word |= 1u << 9;
    if (r < cells2) {
      const auto value = static_cast<std::uint16_t>(records2[2 * r] | records2[2 * r + 1] << 8);
      word = static_cast<std::uint16_t>(word + ((value & 0x0F00) << 2));
    }
    words[r] = word;
  }
  return words;
}

}  // namespace kartwerk

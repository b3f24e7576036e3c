#include "convert/records/cell_flags.hpp"

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
  // Pass 1: the 4-byte records and the cliff marks.
  std::vector<std::uint16_t> words(records4.size() / 4);
  for (std::size_t r = 0; r < words.size(); ++r) {
    const std::uint8_t mark = r < cliffGrid.size() ? cliffGrid[r] : 0;
    words[r] = CellFlagWord(records4[4 * r], records4[4 * r + 1], mark);
  }
  // Pass 2: the 1-byte records.
  const std::size_t cells1 = std::min(words.size(), records1.size());
  for (std::size_t r = 0; r < cells1; ++r) {
    if (records1[r] == 1) words[r] |= 1u << 9;
  }
  // Pass 3: the 2-byte records.
  const std::size_t cells2 = std::min(words.size(), records2.size() / 2);
  for (std::size_t r = 0; r < cells2; ++r) {
    const std::uint16_t value = U16At(records2, 2 * r);
    words[r] = static_cast<std::uint16_t>(words[r] + ((value & 0x0F00) << 2));
  }
  return words;
}

}  // namespace kartwerk

#include "convert/records/cell_flags.hpp"

#include <algorithm>
#include <array>

#include "core/byte_stream.hpp"

namespace kartwerk::records {
namespace {

// The word's bits from byte 0 and byte 1 of a 4-byte record, one table each: a map has up
// to four million cells, so each byte is looked up instead of taken apart.
struct WordTables {
  std::array<std::uint16_t, 256> fromByte0{};
  std::array<std::uint16_t, 256> fromByte1{};
};

constexpr WordTables MakeWordTables() {
  WordTables t;
  for (int b = 0; b < 256; ++b) {
    const int hi = b >> 4, lo = b & 0x0F;
    t.fromByte0[b] = static_cast<std::uint16_t>(lo > hi ? lo - hi : 0);
    int word = ((b >> 4) & 0x03) << 4;
    if ((b & 0x80) == 0) word |= 1 << 6;
    if ((b & 0x0F) == 8) word |= 1 << 14;
    t.fromByte1[b] = static_cast<std::uint16_t>(word);
  }
  return t;
}

constexpr WordTables kWordTables = MakeWordTables();

// Bits 4-5 are byte 1's flipped by the cliff mark; a mark over 3 leaves them clear.
inline std::uint16_t WordFromRecord(const std::uint8_t* record4, std::uint8_t mark) {
  constexpr std::uint16_t kMarkBits = 0x30;
  const std::uint16_t fromByte1 = kWordTables.fromByte1[record4[1]];
  return static_cast<std::uint16_t>(kWordTables.fromByte0[record4[0]] |
                                    (mark <= 3 ? fromByte1 ^ (mark << 4) : fromByte1 & ~kMarkBits));
}

// Bit 9 from the 1-byte record, bits 10-13 from the high byte of the 2-byte value.
inline std::uint16_t OtherSectionBits(std::uint8_t record1, std::uint8_t record2High) {
  return static_cast<std::uint16_t>((record1 == 1 ? 1u << 9 : 0u) | ((record2High & 0x0Fu) << 10));
}

}  // namespace

std::uint16_t CellFlagWord(std::uint8_t byte0, std::uint8_t byte1, std::uint8_t cliffMark) {
  const std::uint8_t record[2] = {byte0, byte1};
  return WordFromRecord(record, cliffMark);
}

void CellFlagBytes(const CellFlagSources& s, std::size_t first, std::size_t count, std::uint8_t* out) {
  const std::size_t end = first + count;
  // Cells every section covers, the usual case for all of them, take no checks.
  const std::size_t covered =
      std::clamp(std::min({s.cliffGrid.size(), s.records1.size(), s.records2.size() / 2}), first, end);
  // Plain pointers: the output bytes could alias the spans' own members, which the compiler
  // would then read again for every cell.
  const std::uint8_t* r4 = s.records4.data() + 4 * first;
  const std::uint8_t* const marks = s.cliffGrid.data();
  const std::uint8_t* const ones = s.records1.data();
  const std::uint8_t* const twos = s.records2.data();
  std::size_t r = first;
  for (; r < covered; ++r, r4 += 4, out += 2) {
    const std::uint16_t word = WordFromRecord(r4, marks[r]) | OtherSectionBits(ones[r], twos[2 * r + 1]);
    out[0] = static_cast<std::uint8_t>(word);
    out[1] = static_cast<std::uint8_t>(word >> 8);
  }
  for (; r < end; ++r, r4 += 4, out += 2) {
    const std::uint8_t mark = r < s.cliffGrid.size() ? s.cliffGrid[r] : 0;
    const std::uint8_t one = r < s.records1.size() ? s.records1[r] : 0;
    const std::uint8_t twoHigh = r < s.records2.size() / 2 ? s.records2[2 * r + 1] : 0;
    const std::uint16_t word = WordFromRecord(r4, mark) | OtherSectionBits(one, twoHigh);
    out[0] = static_cast<std::uint8_t>(word);
    out[1] = static_cast<std::uint8_t>(word >> 8);
  }
}

std::vector<std::uint16_t> ComputeCellFlags(std::span<const std::uint8_t> records4,
                                            std::span<const std::uint8_t> records1,
                                            std::span<const std::uint8_t> records2,
                                            std::span<const std::uint8_t> cliffGrid) {
  const CellFlagSources sources{records4, records1, records2, cliffGrid};
  std::vector<std::uint8_t> bytes(2 * sources.Cells());
  CellFlagBytes(sources, 0, sources.Cells(), bytes.data());
  std::vector<std::uint16_t> words(sources.Cells());
  for (std::size_t r = 0; r < words.size(); ++r) words[r] = core::U16At(bytes, 2 * r);
  return words;
}

}  // namespace kartwerk::records

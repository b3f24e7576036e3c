// The "cflags" file of a slot.
#include "convert/writers/cflags_file.hpp"

#include <array>
#include <span>
#include <vector>

#include "convert/records/cell_flags.hpp"
#include "convert/writers/section_records.hpp"
#include "core/file_output.hpp"

namespace kartwerk {
namespace {

// The section's records in one piece (in place in the container unless they run past its end).
std::span<const std::uint8_t> CellFlagRecords(Conversion& conversion, Section section, std::size_t recordSize,
                                              Bytes& scratch) {
  const sectionRec& entry = conversion.Entry(section);
  const SectionRecords records = ReadSectionRecords(conversion.MissionStream, entry.offset, entry.size, recordSize);
  WarnRecordsPastEnd(conversion, "cflags", records);
  return records.Contiguous(scratch);
}

}  // namespace

void WriteCflagsFile(Conversion& conversion) {
  DiscardFile(conversion.SlotFolder / "cflags");
  Bytes scratch4, scratch1, scratch2;
  const auto records4 = CellFlagRecords(conversion, Section::CellFlags4, 4, scratch4);
  const auto records1 = CellFlagRecords(conversion, Section::CellFlags1, 1, scratch1);
  const auto records2 = CellFlagRecords(conversion, Section::CellFlags2, 2, scratch2);
  const std::vector<std::uint16_t> words = ComputeCellFlags(records4, records1, records2, conversion.CliffGrid);
  OutputFile out(conversion.SlotFolder / "cflags");
  std::array<std::uint8_t, 64 * 1024> piece;
  std::size_t used = 0;
  for (const std::uint16_t word : words) {  // little-endian words
    piece[used++] = static_cast<std::uint8_t>(word);
    piece[used++] = static_cast<std::uint8_t>(word >> 8);
    if (used == piece.size()) {
      out.Append(piece);
      used = 0;
    }
  }
  out.Append(std::span<const std::uint8_t>(piece.data(), used));
  out.Commit();
}

}  // namespace kartwerk

// The "cflags" file of a slot.
#include "convert/writers/cflags_file.hpp"

#include <algorithm>
#include <span>

#include "convert/records/cell_flags.hpp"
#include "convert/writers/section_records.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::writers {
namespace {

// The section's records in one piece (in place in the container unless they run past its end).
std::span<const std::uint8_t> CellFlagRecords(format::Conversion& conversion, format::Section section,
                                              std::size_t recordSize, core::Bytes& scratch) {
  const format::SectionEntry& entry = conversion.Entry(section);
  const SectionRecords records = ReadSectionRecords(conversion.MissionStream, entry.offset, entry.size, recordSize);
  WarnRecordsPastEnd(conversion, "cflags", records);
  return records.Contiguous(scratch);
}

}  // namespace

void WriteCflagsFile(format::Conversion& conversion) {
  platform::DiscardFile(conversion.SlotFolder / "cflags", conversion.Output, conversion.Written);
  core::Bytes scratch4, scratch1, scratch2;
  const auto records4 = CellFlagRecords(conversion, format::Section::CellFlags4, 4, scratch4);
  const auto records1 = CellFlagRecords(conversion, format::Section::CellFlags1, 1, scratch1);
  const auto records2 = CellFlagRecords(conversion, format::Section::CellFlags2, 2, scratch2);
  const records::CellFlagSources sources{records4, records1, records2, conversion.CliffGrid};
  platform::OutputFile out(conversion.SlotFolder / "cflags", conversion.Output, conversion.Written);
  constexpr std::size_t kCellsPerPiece = platform::OutputFile::kMaxRoom / 2;
  for (std::size_t first = 0; first < sources.Cells(); first += kCellsPerPiece) {
    const std::size_t count = std::min(kCellsPerPiece, sources.Cells() - first);
    records::CellFlagBytes(sources, first, count, out.ByteRoom(2 * count));
    out.Advance(2 * count);
  }
  out.Commit();
}

}  // namespace kartwerk::writers

// The "cflags" file of a slot.
#include "convert/cell_flags.hpp"
#include "convert/map_files.hpp"
#include "convert/section_records.hpp"
#include "core/file_output.hpp"

namespace kartwerk {
namespace {

Bytes CellFlagRecords(Conversion& conversion, Section section, std::size_t recordSize) {
  const sectionRec& entry = conversion.Entry(section);
  const SectionRecords records = ReadSectionRecords(conversion.MissionStream, entry.offset, entry.size, recordSize);
  WarnRecordsPastEnd(conversion, "cflags", records);
  return records.bytes;
}

}  // namespace

void WriteCflagsFile(Conversion& conversion) {
  DiscardFile(conversion.SlotFolder / "cflags");
  const Bytes records4 = CellFlagRecords(conversion, Section::CellFlags4, 4);
  const Bytes records1 = CellFlagRecords(conversion, Section::CellFlags1, 1);
  const Bytes records2 = CellFlagRecords(conversion, Section::CellFlags2, 2);
  Bytes content;
  content.reserve(records4.size() / 2);
  for (std::uint16_t word : ComputeCellFlags(records4, records1, records2, conversion.CliffGrid)) {
    PutU16(content, word);
  }
  WriteFileAtomic(conversion.SlotFolder / "cflags", content);
}

}  // namespace kartwerk

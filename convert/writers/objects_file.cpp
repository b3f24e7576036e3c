// The "objects" file of a slot, and the cliff grid it leaves for "cflags".
#include "convert/writers/objects_file.hpp"

#include <span>
#include <string>

#include "convert/records/cliff_grid.hpp"
#include "convert/records/objects.hpp"
#include "convert/writers/section_records.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::writers {
void WriteObjectsFile(format::Conversion& conversion) {
  platform::DiscardFile(conversion.SlotFolder / "objects", conversion.Output, conversion.Written);
  const format::MapInformation& map = conversion.MapInfoRecord;
  conversion.CliffGrid.assign(records::CliffGridCells(map.width, map.height, conversion.MissionStream.size()), 0);

  // The stored size belongs to the objects position; the data lies MiniEntryCount entries on.
  const std::size_t position = format::SectionPosition(format::Section::Objects, conversion.MapKind);
  const std::size_t shifted = position + conversion.MiniEntryCount;
  const std::int32_t size = conversion.SectionDirectory[position].size;
  platform::OutputFile out(conversion.SlotFolder / "objects", conversion.Output, conversion.Written);
  // An entry the container does not hold has no data: no objects.
  if (position != format::kNoSection && shifted < conversion.SectionDirectory.count) {
    const SectionRecords records = ReadSectionRecords(
        conversion.MissionStream, conversion.SectionDirectory[shifted].offset, size, records::ObjectRecord::kSize);
    core::Bytes scratch;
    const std::span<const std::uint8_t> all = records.Contiguous(scratch);
    records::ObjectNames names(conversion.MissionStream, conversion.Entry(format::Section::ObjectNames).offset);
    for (std::size_t at = 0; at < all.size(); at += records::ObjectRecord::kSize) {
      const records::ObjectRecord record = records::ObjectRecord::Decode(all.subspan(at, records::ObjectRecord::kSize));
      const std::string& name = names[record.nameIndex];
      char* const line = out.Room(name.size() + records::kMaxObjectNumbers);
      out.Advance(static_cast<std::size_t>(records::FormatObjectLine(line, name, record) - line));
      records::StampObjectCliff(record, conversion);
    }
    WarnRecordsPastEnd(conversion, "objects", records);
  }
  out.Commit();
}

}  // namespace kartwerk::writers

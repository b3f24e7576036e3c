// The "objects" file of a slot, and the cliff grid it leaves for "cflags".
#include "convert/writers/objects_file.hpp"

#include <span>
#include <string>

#include "convert/records/cliff_grid.hpp"
#include "convert/records/objects.hpp"
#include "convert/writers/section_records.hpp"
#include "core/file_output.hpp"

namespace kartwerk {
namespace {

constexpr std::size_t kOutputPiece = 64 * 1024;

}  // namespace

void WriteObjectsFile(Conversion& conversion) {
  DiscardFile(conversion.SlotFolder / "objects");
  const MapInformation& map = conversion.MapInfoRecord;
  conversion.CliffGrid.assign(CliffGridCells(map.width, map.height, conversion.MissionStream.size()), 0);

  // The stored size belongs to the objects position; the data lies PMiniCount entries on.
  const std::size_t position = SectionPosition(Section::Objects, conversion.MapKind);
  const std::size_t shifted = position + conversion.PMiniCount;
  const std::int32_t size = conversion.SectionDirectory[position].size;
  OutputFile out(conversion.SlotFolder / "objects");
  std::string content;  // the lines since the last hand-over to the file
  // An entry the container does not hold has no data: no objects.
  if (position != kNoSection && shifted < conversion.SectionDirectory.count) {
    const SectionRecords records = ReadSectionRecords(
        conversion.MissionStream, conversion.SectionDirectory[shifted].offset, size, kObjectRecordSize);
    Bytes scratch;
    const std::span<const std::uint8_t> all = records.Contiguous(scratch);
    for (std::size_t at = 0; at < all.size(); at += kObjectRecordSize) {
      AppendConvertedObject(content, ObjectRecord::Parse(all.subspan(at, kObjectRecordSize)), conversion);
      if (content.size() >= kOutputPiece) {
        out.Append(content);
        content.clear();
      }
    }
    WarnRecordsPastEnd(conversion, "objects", records);
  }
  out.Append(content);
  out.Commit();
}

}  // namespace kartwerk

// The "rhombs" file of a slot.
#include <span>

#include "convert/map_files.hpp"
#include "convert/rhombs.hpp"
#include "convert/rhombs2.hpp"
#include "convert/section_records.hpp"
#include "core/file_output.hpp"

namespace kartwerk {

void WriteRhombsFile(Conversion& conversion) {
  DiscardFile(conversion.SlotFolder / "rhombs");
  const std::uint32_t scheme = conversion.MapInfoRecord.TerrainScheme;
  Bytes content;
  // Only the three known schemes have tables; any other converts nothing.
  if (scheme <= 2) {
    const sectionRec& terrain = conversion.Entry(Section::TerrainRhombs);
    const SectionRecords records =
        ReadSectionRecords(conversion.MissionStream, terrain.offset, terrain.size, kCompiledRhombSize);
    const std::span<const std::uint8_t> all(records.bytes);
    content.reserve(all.size() * 2);
    for (std::size_t at = 0; at < all.size(); at += kCompiledRhombSize) {
      const CompiledRhomb rhomb = CompiledRhomb::Parse(all.subspan(at, kCompiledRhombSize));
      const EditorRhomb out = scheme == 0 ? ConvertRhomb(rhomb) : ConvertRhomb2(rhomb);
      const auto bytes = out.Bytes();
      content.insert(content.end(), bytes.begin(), bytes.end());
    }
    WarnRecordsPastEnd(conversion, "rhombs", records);
  }
  WriteFileAtomic(conversion.SlotFolder / "rhombs", content);
}

}  // namespace kartwerk

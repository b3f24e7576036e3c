// The "rhombs" file of a slot.
#include "convert/writers/rhombs_file.hpp"

#include <span>

#include "convert/records/normal_rhombs.hpp"
#include "convert/records/beach_island_rhombs.hpp"
#include "convert/writers/section_records.hpp"
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
    Bytes scratch;
    const std::span<const std::uint8_t> all = records.Contiguous(scratch);
    // The same conversion as ConvertRhomb and ConvertRhomb2, each tile code's tables searched once.
    RhombConverter converter(scheme == 0 ? NormalRhombScheme() : BeachIslandRhombScheme());
    content.resize(all.size() / kCompiledRhombSize * kEditorRhombSize);
    // A million rhombs on the largest maps: plain pointers over whole records, no per-byte checks.
    const std::uint8_t* in = all.data();
    std::uint8_t* out = content.data();
    for (std::size_t n = all.size() / kCompiledRhombSize; n > 0; --n) {
      const CompiledRhomb rhomb{static_cast<std::uint16_t>(in[0] | in[1] << 8),
                                static_cast<std::uint16_t>(in[2] | in[3] << 8)};
      converter.ConvertInto(rhomb, out);
      in += kCompiledRhombSize;
      out += kEditorRhombSize;
    }
    WarnRecordsPastEnd(conversion, "rhombs", records);
  }
  WriteFileAtomic(conversion.SlotFolder / "rhombs", content);
}

}  // namespace kartwerk

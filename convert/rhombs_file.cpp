// The "rhombs" file of a slot.
#include <algorithm>
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
    Bytes scratch;
    const std::span<const std::uint8_t> all = records.Contiguous(scratch);
    // The same conversion as ConvertRhomb and ConvertRhomb2, each tile code's tables searched once.
    RhombConverter converter(scheme == 0 ? NormalRhombScheme() : BeachIslandRhombScheme());
    content.resize(all.size() / kCompiledRhombSize * kEditorRhombSize);
    std::uint8_t* out = content.data();
    for (std::size_t at = 0; at < all.size(); at += kCompiledRhombSize, out += kEditorRhombSize) {
      const auto bytes = converter.Convert(CompiledRhomb::Parse(all.subspan(at, kCompiledRhombSize))).Bytes();
      std::copy(bytes.begin(), bytes.end(), out);
    }
    WarnRecordsPastEnd(conversion, "rhombs", records);
  }
  WriteFileAtomic(conversion.SlotFolder / "rhombs", content);
}

}  // namespace kartwerk

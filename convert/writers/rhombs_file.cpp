// The "rhombs" file of a slot.
#include "convert/writers/rhombs_file.hpp"

#include <algorithm>
#include <span>

#include "convert/records/beach_island_rhombs.hpp"
#include "convert/records/normal_rhombs.hpp"
#include "convert/writers/section_records.hpp"
#include "platform/file_output.hpp"

namespace kartwerk {
namespace {

constexpr std::size_t kRhombsPerPiece = OutputFile::kMaxRoom / EditorRhomb::kSize;

}  // namespace

void WriteRhombsFile(Conversion& conversion) {
  DiscardFile(conversion.SlotFolder / "rhombs", conversion.Output, conversion.Written);
  const std::uint32_t scheme = conversion.MapInfoRecord.TerrainScheme;
  OutputFile out(conversion.SlotFolder / "rhombs", conversion.Output, conversion.Written);
  // Only the three known schemes have tables; any other converts nothing.
  if (scheme <= 2) {
    const sectionRec& terrain = conversion.Entry(Section::TerrainRhombs);
    const SectionRecords records =
        ReadSectionRecords(conversion.MissionStream, terrain.offset, terrain.size, CompiledRhomb::kSize);
    Bytes scratch;
    const std::span<const std::uint8_t> all = records.Contiguous(scratch);
    // The same conversion as ConvertRhomb and ConvertRhomb2, each tile code's tables searched once.
    RhombConverter converter(scheme == 0 ? NormalRhombScheme() : BeachIslandRhombScheme());
    // A million rhombs on the largest maps: plain pointers over whole records, no per-byte
    // checks, converted a piece at a time straight into the file's buffer.
    const std::uint8_t* in = all.data();
    for (std::size_t left = all.size() / CompiledRhomb::kSize; left > 0;) {
      const std::size_t n = std::min(left, kRhombsPerPiece);
      std::uint8_t* to = out.ByteRoom(n * EditorRhomb::kSize);
      for (std::size_t i = 0; i < n; ++i) {
        const CompiledRhomb rhomb{static_cast<std::uint16_t>(in[0] | in[1] << 8),
                                  static_cast<std::uint16_t>(in[2] | in[3] << 8)};
        converter.ConvertInto(rhomb, to);
        in += CompiledRhomb::kSize;
        to += EditorRhomb::kSize;
      }
      out.Advance(n * EditorRhomb::kSize);
      left -= n;
    }
    WarnRecordsPastEnd(conversion, "rhombs", records);
  }
  out.Commit();
}

}  // namespace kartwerk

// The "rhombs" file of a slot.
#include "convert/writers/rhombs_file.hpp"

#include <algorithm>
#include <span>

#include "convert/records/beach_island_rhombs.hpp"
#include "convert/records/normal_rhombs.hpp"
#include "convert/writers/section_records.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::writers {
namespace {

constexpr std::size_t kRhombsPerPiece = platform::OutputFile::kMaxRoom / records::EditorRhomb::kSize;

}  // namespace

void WriteRhombsFile(format::Conversion& conversion) {
  platform::DiscardFile(conversion.SlotFolder / "rhombs", conversion.Output, conversion.Written);
  const std::uint32_t scheme = conversion.MapInfoRecord.TerrainScheme;
  platform::OutputFile out(conversion.SlotFolder / "rhombs", conversion.Output, conversion.Written);
  // Only the three known schemes have tables; any other converts nothing.
  if (scheme <= 2) {
    const format::SectionEntry& terrain = conversion.Entry(format::Section::TerrainRhombs);
    const SectionRecords records =
        ReadSectionRecords(conversion.MissionStream, terrain.offset, terrain.size, records::CompiledRhomb::kSize);
    core::Bytes scratch;
    const std::span<const std::uint8_t> all = records.Contiguous(scratch);
    // The same conversion as ConvertRhomb and ConvertRhomb2, each tile code's tables searched once.
    records::RhombConverter converter(scheme == 0 ? records::NormalRhombScheme() : records::BeachIslandRhombScheme());
    // A million rhombs on the largest maps: plain pointers over whole records, no per-byte
    // checks, converted a piece at a time straight into the file's buffer.
    const std::uint8_t* in = all.data();
    for (std::size_t left = all.size() / records::CompiledRhomb::kSize; left > 0;) {
      const std::size_t n = std::min(left, kRhombsPerPiece);
      std::uint8_t* to = out.ByteRoom(n * records::EditorRhomb::kSize);
      for (std::size_t i = 0; i < n; ++i) {
        const records::CompiledRhomb rhomb{static_cast<std::uint16_t>(in[0] | in[1] << 8),
                                           static_cast<std::uint16_t>(in[2] | in[3] << 8)};
        converter.ConvertInto(rhomb, to);
        in += records::CompiledRhomb::kSize;
        to += records::EditorRhomb::kSize;
      }
      out.Advance(n * records::EditorRhomb::kSize);
      left -= n;
    }
    WarnRecordsPastEnd(conversion, "rhombs", records);
  }
  out.Commit();
}

}  // namespace kartwerk::writers

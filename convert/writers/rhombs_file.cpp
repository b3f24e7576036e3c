// The "rhombs" file of a slot.
#include "convert/writers/rhombs_file.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <span>

#include "convert/records/beach_island_rhombs.hpp"
#include "convert/records/normal_rhombs.hpp"
#include "convert/writers/section_records.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::writers {
namespace {

constexpr std::size_t kRhombsPerPiece = platform::OutputFile::kMaxRoom / records::EditorRhomb::kSize;

// The level bytes of every level word as one little-endian 16-bit value (SetRhombLevel's two
// bytes): one lookup a rhomb instead of taking the word apart.
struct LevelTable {
  std::array<std::uint16_t, 65536> bytes{};
};
constexpr LevelTable MakeLevelTable() {
  LevelTable table;
  for (std::uint32_t word = 0; word < table.bytes.size(); ++word) {
    records::EditorRhomb level;
    records::SetRhombLevel(level, static_cast<std::uint16_t>(word));
    table.bytes[word] = static_cast<std::uint16_t>(level.levelLow | level.levelHigh << 8);
  }
  return table;
}
constexpr LevelTable kLevels = MakeLevelTable();

// Converts count rhombs from in (4 bytes each) to out (8 bytes each).
void ConvertRhombs(records::RhombConverter& converter, const std::uint8_t* in, std::size_t count, std::uint8_t* out) {
  for (std::size_t i = 0; i < count; ++i, in += records::CompiledRhomb::kSize, out += records::EditorRhomb::kSize) {
    if constexpr (std::endian::native == std::endian::little) {
      // Tile code and level word as one load; the record as one store, its level bytes (the
      // fifth and sixth) put in.
      std::uint32_t rhomb = 0;
      std::memcpy(&rhomb, in, sizeof rhomb);
      const auto tileCode = static_cast<std::uint16_t>(rhomb);
      if (records::RhombConverter::Remembers(tileCode)) {
        const std::uint64_t word = converter.KnownWord(tileCode) | std::uint64_t{kLevels.bytes[rhomb >> 16]} << 32;
        std::memcpy(out, &word, sizeof word);
        continue;
      }
    }
    converter.ConvertInto(records::CompiledRhomb{static_cast<std::uint16_t>(in[0] | in[1] << 8),
                                                 static_cast<std::uint16_t>(in[2] | in[3] << 8)},
                          out);
  }
}

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
      ConvertRhombs(converter, in, n, out.ByteRoom(n * records::EditorRhomb::kSize));
      in += n * records::CompiledRhomb::kSize;
      out.Advance(n * records::EditorRhomb::kSize);
      left -= n;
    }
    WarnRecordsPastEnd(conversion, "rhombs", records);
  }
  out.Commit();
}

}  // namespace kartwerk::writers

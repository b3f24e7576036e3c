// One object record against an arbitrary container, map size and cliff mask file: the name
// lookup and the cliff stamp must stay inside their buffers.
#include "convert/records/cliff_grid.hpp"
#include "convert/records/objects.hpp"
#include "format/section_directory.hpp"
#include "fuzz/fuzz_input.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::fuzz::FuzzInput input(data, size);
  const auto record = kartwerk::records::ObjectRecord::Decode(input.Take<kartwerk::records::ObjectRecord::kSize>());
  kartwerk::format::Conversion c;
  c.MapKind = static_cast<kartwerk::format::MapKindCode>(input.Byte() % 3);
  // Mostly map sizes up to a little over the largest map, now and then any 32-bit size at all
  // (rarely, as such a grid is megabytes to clear on every run).
  const bool anySize = input.Byte() == 0xFF;
  const auto dimension = [&input, anySize] {
    const std::int32_t low = static_cast<std::int16_t>(input.U16());
    const std::int32_t value = low | (static_cast<std::int32_t>(input.U16()) << 16);
    return anySize ? value : low % 1100;
  };
  c.MapInfoRecord.width = dimension();
  c.MapInfoRecord.height = dimension();
  c.CliffDataBuffer = std::make_shared<const kartwerk::core::Bytes>(input.Take(input.U16() % 4096));
  c.MissionStream.Load(input.Rest());
  c.MiniEntryCount = kartwerk::format::ReadSectionDirectory(c.MissionStream, c.SectionDirectory);
  c.CliffGrid.assign(
      kartwerk::records::CliffGridCells(c.MapInfoRecord.width, c.MapInfoRecord.height, c.MissionStream.size()), 0);
  const std::size_t cells = c.CliffGrid.size();

  const std::string line = kartwerk::records::ConvertObject(record, c);
  if (line.empty() || line.back() != '\n' || c.CliffGrid.size() != cells) __builtin_trap();
  for (std::uint8_t mark : c.CliffGrid) {
    if (mark > 3) __builtin_trap();  // marks combine within 0..3
  }
  return 0;
}

// One map unit with its passengers and crew against an arbitrary unit-name table and mission
// rectangle. The table may be cut short or indexed far past its end.
#include <vector>

#include "convert/records/name_table.hpp"
#include "convert/records/units.hpp"
#include "fuzz/fuzz_input.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::fuzz::FuzzInput input(data, size);
  const auto head = kartwerk::records::UnitHead::Decode(input.Take<kartwerk::records::UnitHead::kSize>());
  std::vector<kartwerk::records::CrewRecord> crew;
  for (std::size_t i = 0; i < head.SubRecordCount(); ++i) {
    crew.push_back(kartwerk::records::CrewRecord::Decode(input.Take<kartwerk::records::CrewRecord::kSize>()));
  }
  kartwerk::format::MissionRectangle rect;
  const auto corner = input.Take<8>();
  rect.x0 = static_cast<std::int32_t>(corner[0] | corner[1] << 8 | corner[2] << 16 | corner[3] << 24);
  rect.y0 = static_cast<std::int32_t>(corner[4] | corner[5] << 8 | corner[6] << 16 | corner[7] << 24);
  const std::int64_t tableOffset = static_cast<std::int16_t>(input.U16());
  kartwerk::core::ByteStream names;
  names.Load(input.Rest());
  const std::string text =
      kartwerk::records::ConvertUnitRecord(head, crew, kartwerk::records::NameTable(names, tableOffset), rect);
  if (text.empty() || text.back() != '\n') __builtin_trap();
  return 0;
}

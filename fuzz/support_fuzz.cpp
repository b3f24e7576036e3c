// Support flags and support units: a flag against any mission rectangle, a unit with its
// passengers and crew against an arbitrary unit-name table (32-bit type numbers included).
#include <vector>

#include "convert/records/name_table.hpp"
#include "convert/records/support.hpp"
#include "fuzz/fuzz_input.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::fuzz::FuzzInput input(data, size);
  const auto flag =
      kartwerk::records::SupportFlagRecord::Decode(input.Take<kartwerk::records::SupportFlagRecord::kSize>());
  const auto extent = input.Take<16>();
  kartwerk::format::MissionRectangle rect;
  std::int32_t* fields[] = {&rect.x0, &rect.y0, &rect.width, &rect.height};
  for (std::size_t i = 0; i < 4; ++i) {
    const std::uint8_t* b = &extent[i * 4];
    *fields[i] = static_cast<std::int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24);
  }
  if (kartwerk::records::ConvertSupportFlag(flag, rect).empty()) __builtin_trap();

  const auto head = kartwerk::records::SupportUnitHead::Decode(input.Take<kartwerk::records::SupportUnitHead::kSize>());
  std::vector<kartwerk::records::CrewRecord> crew;
  for (std::size_t i = 0; i < head.SubRecordCount(); ++i) {
    crew.push_back(kartwerk::records::CrewRecord::Decode(input.Take<kartwerk::records::CrewRecord::kSize>()));
  }
  const std::int64_t tableOffset = static_cast<std::int16_t>(input.U16());
  kartwerk::core::ByteStream names;
  names.Load(input.Rest());
  const std::string text =
      kartwerk::records::ConvertSupportUnit(head, crew, kartwerk::records::NameTable(names, tableOffset));
  if (text.empty() || text.back() != '\n') __builtin_trap();
  return 0;
}

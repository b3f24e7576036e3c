#include "convert/records/name_table.hpp"

#include <array>

namespace kartwerk {

NameTable UnitNameTable(const Conversion& conversion) {
  return NameTable(conversion.MissionStream, conversion.Entry(Section::UnitNames).offset);
}

std::string LookupName(const NameTable& table, std::uint32_t index) {
  // Read straight from the buffer instead of seeking: the caller's position stays untouched
  // by construction, and a 32-bit index far past the end cannot reach outside the buffer.
  std::array<std::uint8_t, NameTable::kEntrySize> entry{};
  table.stream().PeekAt(table.offset() + static_cast<std::int64_t>(NameTable::kEntrySize) * index, entry);
  return FixedText(entry);
}

}  // namespace kartwerk

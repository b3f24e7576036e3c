#include "convert/name_table.hpp"

#include <array>

namespace kartwerk {

NameTable UnitNameTable(const Conversion& conversion) {
  return NameTable(conversion.MissionStream, conversion.Entry(Section::UnitNames).offset);
}

std::string LookupName(const NameTable& table, std::uint32_t index) {
  // Read straight from the buffer instead of seeking: the caller's position stays untouched
  // by construction, and a 32-bit index far past the end cannot reach outside the buffer.
  const auto bytes = table.stream().bytes();
  const std::int64_t start = table.offset() + static_cast<std::int64_t>(NameTable::kEntrySize) * index;
  std::array<std::uint8_t, NameTable::kEntrySize> entry{};
  for (std::size_t i = 0; i < entry.size(); ++i) {
    const std::int64_t at = start + static_cast<std::int64_t>(i);
    if (at >= 0 && at < static_cast<std::int64_t>(bytes.size())) entry[i] = bytes[static_cast<std::size_t>(at)];
  }
  return FixedText(entry);
}

}  // namespace kartwerk

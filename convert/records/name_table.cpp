#include "convert/records/name_table.hpp"

#include <algorithm>
#include <array>

namespace kartwerk::records {

NameTable UnitNameTable(const format::Conversion& conversion) {
  return NameTable(conversion.MissionStream, conversion.Entry(format::Section::UnitNames).offset);
}

namespace {

// Read straight from the buffer instead of seeking: the caller's position stays untouched
// by construction, and a 32-bit index far past the end cannot reach outside the buffer.
std::array<std::uint8_t, NameTable::kEntrySize> NameEntry(const NameTable& table, std::uint32_t index) {
  std::array<std::uint8_t, NameTable::kEntrySize> entry{};
  table.stream().PeekAt(table.offset() + static_cast<std::int64_t>(NameTable::kEntrySize) * index, entry);
  return entry;
}

}  // namespace

std::string LookupName(const NameTable& table, std::uint32_t index) { return core::FixedText(NameEntry(table, index)); }

char* SpellName(char* at, const NameTable& table, std::uint32_t index) {
  const auto entry = NameEntry(table, index);
  const auto end = std::find(entry.begin(), entry.end(), std::uint8_t{0});
  return std::copy(entry.begin(), end, at);
}

void AppendName(std::string& out, const NameTable& table, std::uint32_t index) {
  char name[NameTable::kEntrySize];
  out.append(name, SpellName(name, table, index));
}

}  // namespace kartwerk::records

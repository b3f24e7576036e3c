// NameTable: a section of fixed 16-byte names (the mission's unit type names) looked up
// by number. Unit records name their type by such a number; the text files want the name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/byte_stream.hpp"
#include "format/conversion.hpp"

namespace kartwerk::records {

class NameTable {
 public:
  static constexpr std::size_t kEntrySize = 16;

  // Entry 0 starts at tableOffset in stream. The table has no count: entry n is simply
  // the 16 bytes at tableOffset + 16 * n. The stream must outlive the table.
  NameTable(const core::ByteStream& stream, std::int64_t tableOffset) : stream_(&stream), offset_(tableOffset) {}
  NameTable(const core::ByteStream&&, std::int64_t) = delete;

  const core::ByteStream& stream() const { return *stream_; }
  std::int64_t offset() const { return offset_; }

 private:
  const core::ByteStream* stream_;
  std::int64_t offset_;
};

// The unit names section of the container loaded in conversion (its position depends on MapKind).
NameTable UnitNameTable(const format::Conversion& conversion);

// The name of entry index: its bytes up to the first zero byte, at most 16. The entry is
// not checked against the section's size; bytes of it that lie outside the stream read as
// zero, so an entry wholly past the end gives an empty name. The stream's read position is
// never moved, so a caller reading records from the same stream goes on where it stopped.
std::string LookupName(const NameTable& table, std::uint32_t index);
// The same name appended to out, without a string of its own; or spelled into at (room for
// NameTable::kEntrySize bytes), returning its end.
void AppendName(std::string& out, const NameTable& table, std::uint32_t index);
char* SpellName(char* at, const NameTable& table, std::uint32_t index);

}  // namespace kartwerk::records

#include "convert/section_records.hpp"

#include <algorithm>
#include <span>

namespace kartwerk {

std::int64_t SectionRecordCount(const ByteStream& stream, std::int64_t offset, std::int32_t size,
                                std::size_t recordSize) {
  if (size <= 0 || recordSize == 0) return 0;
  const auto record = static_cast<std::int64_t>(recordSize);
  const std::int64_t stored = size / record;
  if (offset < 0 || offset >= stream.size()) return 0;
  // Records that begin before the end: the last of them may be short and is zero-filled.
  const std::int64_t present = (stream.size() - offset + record - 1) / record;
  return std::min(stored, present);
}

Bytes ReadSectionRecords(ByteStream& stream, std::int64_t offset, std::int32_t size, std::size_t recordSize) {
  const std::int64_t count = SectionRecordCount(stream, offset, size, recordSize);
  stream.Seek(offset);
  Bytes records(static_cast<std::size_t>(count) * recordSize);
  stream.ReadRecord(std::span<std::uint8_t>(records));
  return records;
}

}  // namespace kartwerk

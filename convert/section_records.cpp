#include "convert/section_records.hpp"

#include <algorithm>
#include <span>
#include <string>

namespace kartwerk {

SectionRecords ReadSectionRecords(ByteStream& stream, std::int64_t offset, std::int32_t size, std::size_t recordSize) {
  SectionRecords out;
  if (size <= 0 || recordSize == 0) return out;
  const auto record = static_cast<std::int64_t>(recordSize);
  out.stored = size / record;
  // Records that begin before the end; the last of them may run into the end.
  std::int64_t present = 0;
  if (offset >= 0 && offset < stream.size()) present = (stream.size() - offset + record - 1) / record;
  out.count = std::min(out.stored, present + kMaxRecordsPastEnd);
  out.pastEnd = std::max<std::int64_t>(out.count - present, 0);
  stream.Seek(offset);
  out.bytes.resize(static_cast<std::size_t>(out.count) * recordSize);
  stream.ReadRecord(std::span<std::uint8_t>(out.bytes));
  return out;
}

void WarnRecordsPastEnd(const Conversion& conversion, std::string_view file, const SectionRecords& records) {
  if (!conversion.Warn || records.pastEnd == 0) return;
  const std::string name = "\"" + std::string(file) + "\"";
  if (records.count < records.stored) {
    conversion.Warn(name + " announces " + std::to_string(records.stored) + " entries, but the map file ends after " +
                    std::to_string(records.count - records.pastEnd) + "; " + std::to_string(records.pastEnd) +
                    " more are written as zeros and the rest left out");
  } else {
    conversion.Warn(name + ": " + std::to_string(records.pastEnd) + " of its " + std::to_string(records.stored) +
                    " entries lie past the end of the map file and read as zeros");
  }
}

}  // namespace kartwerk

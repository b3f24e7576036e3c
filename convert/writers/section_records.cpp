#include "convert/writers/section_records.hpp"

#include <algorithm>
#include <span>
#include <string>

namespace kartwerk::writers {

SectionRecords ReadSectionRecords(core::ByteStream& stream, std::int64_t offset, std::int32_t size,
                                  std::size_t recordSize) {
  SectionRecords out;
  if (size <= 0 || recordSize == 0) return out;
  const auto record = static_cast<std::int64_t>(recordSize);
  out.stored = size / record;
  // Records that begin before the end; the last of them may run into the end.
  std::int64_t present = 0;
  if (offset >= 0 && offset < stream.size()) present = (stream.size() - offset + record - 1) / record;
  out.count = std::min(out.stored, present + kMaxRecordsPastEnd);
  out.pastEnd = std::max<std::int64_t>(out.count - present, 0);
  // Whole records inside the container stay where they are; the rest is read as ReadRecord reads.
  std::int64_t whole = 0;
  if (offset >= 0 && offset < stream.size()) whole = std::min(out.count, (stream.size() - offset) / record);
  if (whole > 0) {
    out.inside = stream.bytes().subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(whole) * recordSize);
  }
  stream.Seek(offset + whole * record);
  out.tail.resize(static_cast<std::size_t>(out.count - whole) * recordSize);
  stream.ReadRecord(std::span<std::uint8_t>(out.tail));
  return out;
}

std::span<const std::uint8_t> SectionRecords::Contiguous(core::Bytes& scratch) const {
  if (tail.empty()) return inside;
  scratch.assign(inside.begin(), inside.end());
  scratch.insert(scratch.end(), tail.begin(), tail.end());
  return scratch;
}

void WarnRecordsPastEnd(const format::Conversion& conversion, std::string_view file, const SectionRecords& records) {
  if (!conversion.Warn || records.pastEnd == 0) return;
  // Appended piece by piece: g++ 12 at -O2 misreads "\"" + std::string(...) as an overlapping copy.
  std::string name = "\"";
  name += file;
  name += '"';
  if (records.count < records.stored) {
    conversion.Warn(name + " announces " + std::to_string(records.stored) + " entries, but the map file ends after " +
                    std::to_string(records.count - records.pastEnd) + "; " + std::to_string(records.pastEnd) +
                    " more are written as zeros and the rest left out");
  } else {
    conversion.Warn(name + ": " + std::to_string(records.pastEnd) + " of its " + std::to_string(records.stored) +
                    " entries lie past the end of the map file and read as zeros");
  }
}

}  // namespace kartwerk::writers

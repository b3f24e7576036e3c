// Reading a section as a run of fixed-size records, the way the map-level writers walk
// their sections: the record count comes from the section's stored size.
//
// Records are read up to that count even where they lie past the end of the container
// (they then read as zeros, like the short last record that runs into the end), but a count
// that reaches far past the end, which only damaged data gives, is cut after
// kMaxRecordsPastEnd such records so that it cannot run away with memory and time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/byte_stream.hpp"
#include "format/conversion.hpp"

namespace kartwerk::writers {

inline constexpr std::int64_t kMaxRecordsPastEnd = 4096;

// The records are not copied where they lie wholly inside the container (a terrain section is
// megabytes): those are viewed in place, and only the few that run into or lie past its end
// are read into a zero-filled tail. The stream must outlive the records and stay unchanged.
struct SectionRecords {
  std::span<const std::uint8_t> inside;  // the first records, wholly inside the container, in place
  core::Bytes tail;                      // the rest of the count, zeros past the end of the container
  std::int64_t stored = 0;               // records the stored size announces (stored size / record size, truncated)
  std::int64_t count = 0;                // records read
  std::int64_t pastEnd = 0;              // of these, records that begin at or past the end of the container

  // All count x record size bytes in one piece: in place when nothing runs past the end,
  // otherwise put together in scratch (so the result never refers into these records).
  std::span<const std::uint8_t> Contiguous(core::Bytes& scratch) const;
};

// Seeks stream to offset and reads the section's records (leaving the position after the
// last). A stored size of 0 or less means none.
SectionRecords ReadSectionRecords(core::ByteStream& stream, std::int64_t offset, std::int32_t size,
                                  std::size_t recordSize);

// Tells conversion.Warn (when set) that records of the named file were read past the end of
// the map file, or cut.
void WarnRecordsPastEnd(const format::Conversion& conversion, std::string_view file, const SectionRecords& records);

}  // namespace kartwerk::writers

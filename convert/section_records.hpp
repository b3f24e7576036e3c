// Reading a section as a run of fixed-size records, the way the map-level writers walk
// their sections: the record count comes from the section's stored size, but never runs
// beyond the loaded container.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/byte_stream.hpp"

namespace kartwerk {

// Number of records to read: stored size / record size, truncated (none for a size of 0 or
// less), cut to the records that begin inside the stream at or after offset. A stored size
// is never trusted further than the bytes that are really there.
std::int64_t SectionRecordCount(const ByteStream& stream, std::int64_t offset, std::int32_t size,
                                std::size_t recordSize);

// Seeks stream to offset and reads SectionRecordCount records, count x recordSize bytes; a
// last record that runs past the end of the stream is zero-filled.
Bytes ReadSectionRecords(ByteStream& stream, std::int64_t offset, std::int32_t size, std::size_t recordSize);

}  // namespace kartwerk

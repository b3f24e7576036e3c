// Raw deflate inflation of a whole buffer and the gzip checksum: the one place the build's
// inflater is called. The build picks the library at configure time (libdeflate where it is
// found, zlib otherwise); both give the same results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kartwerk::format {

enum class InflateOutcome {
  Complete,    // the deflate stream ended; consumed and produced are valid
  OutputFull,  // the stream needs more room than out has; out holds nothing usable
  BadData,     // damaged, or the input ends inside the stream
};

struct InflateResult {
  InflateOutcome outcome = InflateOutcome::BadData;
  std::size_t consumed = 0;  // input bytes of the stream (the member trailer starts here)
  std::size_t produced = 0;
};

// Inflates the deflate stream at the start of in into out.
InflateResult InflateDeflateStream(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

// CRC-32 as a gzip member trailer holds it.
std::uint32_t GzipCrc32(std::span<const std::uint8_t> data);

// "libdeflate" or "zlib": the library this build inflates with.
const char* InflaterName();

}  // namespace kartwerk::format

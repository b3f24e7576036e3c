#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "format/inflate.hpp"

namespace kartwerk::format {
namespace {

// zlib counts in 32-bit units: larger buffers are handed over in pieces of this size.
constexpr std::size_t kMaxPiece = 1u << 30;

}  // namespace

InflateResult InflateDeflateStream(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  stream.next_in = const_cast<Bytef*>(in.data());
  stream.next_out = out.data();
  int rc = Z_OK;
  while (rc == Z_OK) {
    const uInt inPiece = static_cast<uInt>(std::min(inLeft, kMaxPiece));
    const uInt outPiece = static_cast<uInt>(std::min(outLeft, kMaxPiece));
    stream.avail_in = inPiece;
    stream.avail_out = outPiece;
    rc = inflate(&stream, Z_FINISH);
    inLeft -= inPiece - stream.avail_in;
    outLeft -= outPiece - stream.avail_out;
    // Z_BUF_ERROR only means "no progress with this piece"; more pieces may remain.
    if (rc == Z_BUF_ERROR && ((stream.avail_in == 0 && inLeft > 0) || (stream.avail_out == 0 && outLeft > 0)))
      rc = Z_OK;
  }
  InflateResult result;
  if (rc == Z_STREAM_END) {
    result.outcome = InflateOutcome::Complete;
    result.consumed = in.size() - inLeft;
    result.produced = out.size() - outLeft;
  } else if (rc == Z_BUF_ERROR && outLeft == 0 && inLeft > 0) {
    result.outcome = InflateOutcome::OutputFull;
  } else {
    result.outcome = InflateOutcome::BadData;
  }
  inflateEnd(&stream);
  return result;
}

std::uint32_t GzipCrc32(std::span<const std::uint8_t> data) {
  uLong crc = crc32(0L, Z_NULL, 0);
  std::size_t done = 0;
  while (done < data.size()) {
    const uInt piece = static_cast<uInt>(std::min(data.size() - done, kMaxPiece));
    crc = crc32(crc, data.data() + done, piece);
    done += piece;
  }
  return static_cast<std::uint32_t>(crc);
}

const char* InflaterName() { return "zlib"; }

}  // namespace kartwerk::format

#include <libdeflate.h>

#include <memory>
#include <new>

#include "format/inflate.hpp"

namespace kartwerk::format {
namespace {

struct DecompressorFree {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

}  // namespace

InflateResult InflateDeflateStream(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
  // One decompressor per call: it is a few kilobytes, and calls come once per gzip member.
  std::unique_ptr<libdeflate_decompressor, DecompressorFree> d(libdeflate_alloc_decompressor());
  if (!d) throw std::bad_alloc();
  InflateResult result;
  const libdeflate_result rc = libdeflate_deflate_decompress_ex(d.get(), in.data(), in.size(), out.data(), out.size(),
                                                                &result.consumed, &result.produced);
  if (rc == LIBDEFLATE_SUCCESS) {
    result.outcome = InflateOutcome::Complete;
  } else if (rc == LIBDEFLATE_INSUFFICIENT_SPACE) {
    result.outcome = InflateOutcome::OutputFull;
  } else {
    result.outcome = InflateOutcome::BadData;
  }
  if (result.outcome != InflateOutcome::Complete) result.consumed = result.produced = 0;
  return result;
}

std::uint32_t GzipCrc32(std::span<const std::uint8_t> data) { return libdeflate_crc32(0, data.data(), data.size()); }

const char* InflaterName() { return "libdeflate"; }

}  // namespace kartwerk::format

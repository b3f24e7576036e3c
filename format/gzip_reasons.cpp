#include "format/gzip_reasons.hpp"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <string_view>

namespace kartwerk::format {
namespace {

struct Signature {
  std::string_view bytes;
  std::string_view what;
};

// Files a compiled map is most often mistaken for, or renamed from.
constexpr std::array<Signature, 7> kSignatures = {{
    {"\x89PNG\r\n\x1a\n", "a PNG picture's signature"},
    {"\xff\xd8\xff", "a JPEG picture's signature"},
    {"GIF8", "a GIF picture's signature"},
    {"PK\x03\x04", "a ZIP archive's signature"},
    {"%PDF", "a PDF document's signature"},
    {"BZh", "a bzip2 file's signature"},
    {"\xfd\x37zXZ", "an xz file's signature"},
}};

constexpr std::size_t kBytesShown = 4;

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    text += (text.empty() ? "" : " ") + std::string(hex);
  }
  return text;
}

// The bytes as text when every one is printable ASCII, so "<!DO" reads as what it is.
std::string PrintableText(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    if (byte < 0x20 || byte > 0x7e) return {};
    text += static_cast<char>(byte);
  }
  return text;
}

std::string FileEndsAfter(std::uint64_t fileSize) {
  return "cut short: the file ends after " + std::to_string(fileSize) + (fileSize == 1 ? " byte" : " bytes");
}

}  // namespace

std::string NoGzipHeaderReason(std::span<const std::uint8_t> head, bool headerCutShort) {
  if (head.empty()) return "the file is empty";
  if (headerCutShort) return FileEndsAfter(head.size()) + ", inside the gzip header (at least 10 bytes)";
  if (head.size() >= 2 && head[0] == 0x1f && head[1] == 0x8b) {
    if (head.size() >= 3 && head[2] != 8) {
      return "not a deflate-compressed gzip file (compression method " + std::to_string(head[2]) + ")";
    }
    return "damaged gzip header";
  }
  for (const Signature& signature : kSignatures) {
    const auto* start = reinterpret_cast<const std::uint8_t*>(signature.bytes.data());
    if (head.size() >= signature.bytes.size() && std::equal(start, start + signature.bytes.size(), head.begin())) {
      return "not a gzip file: it starts with " + std::string(signature.what);
    }
  }
  const std::span<const std::uint8_t> first = head.first(std::min(head.size(), kBytesShown));
  std::string reason = "not a gzip file: it starts with " + HexBytes(first);
  if (const std::string text = PrintableText(first); !text.empty()) reason += " (\"" + text + "\")";
  return reason;
}

std::string DeflateFailureReason(std::span<const std::uint8_t> data, std::uint64_t fileSize) {
  // Inflated again with zlib's streaming inflater, into a scratch buffer, only to tell a stream that
  // ends early from a damaged one: the whole-buffer inflaters say "bad data" for both.
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return DamagedStreamReason(nullptr);
  std::array<std::uint8_t, 64 * 1024> scratch;
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(std::min<std::size_t>(data.size(), UINT_MAX));
  int rc = Z_OK;
  do {
    stream.next_out = scratch.data();
    stream.avail_out = static_cast<uInt>(scratch.size());
    rc = inflate(&stream, Z_NO_FLUSH);
  } while (rc == Z_OK && (stream.avail_in > 0 || stream.avail_out == 0));
  const std::string reason = DamagedStreamReason(stream.msg);
  inflateEnd(&stream);
  if (rc == Z_OK || rc == Z_BUF_ERROR) return FileEndsAfter(fileSize) + ", inside the compressed data";
  return reason;
}

std::string DamagedStreamReason(const char* inflaterMessage) {
  std::string reason = "damaged compressed stream";
  if (inflaterMessage != nullptr && *inflaterMessage != '\0') reason += std::string(" (") + inflaterMessage + ")";
  return reason;
}

std::string TrailerCutShortReason(std::size_t have, std::uint64_t fileSize) {
  return FileEndsAfter(fileSize) + ", " + std::to_string(have) + " of the 8 bytes of the gzip trailer";
}

}  // namespace kartwerk::format

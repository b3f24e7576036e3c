#include "format/gzip_file.hpp"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <system_error>

#include "format/gzip_reasons.hpp"
#include "format/inflate.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::format {
namespace {

using FileHandle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

constexpr std::size_t kHeaderChunk = 64 * 1024;    // header bytes read at a time
constexpr std::size_t kMaxStoredName = 1023;       // longer stored names are cut here
constexpr std::size_t kMinFirstGuess = 64 * 1024;  // output room tried first when no better guess exists
// Deflate never expands more than this: a bound on what a member's data can produce.
constexpr std::uint64_t kMaxDeflateRatio = 1032;
// A deflate stream takes at most two bytes for every byte it produces; compressed bytes beyond
// twice the limit can only be data past the limit or trailing bytes.
constexpr std::uint64_t kMaxCompressedSize = 2 * kMaxInflatedSize + kHeaderChunk;

std::string WithoutExtension(const std::filesystem::path& path) { return platform::TextFromPath(path.stem()); }

// The gzip layer's texts, with the reason after them when it is known.
std::string WithReason(std::string text, const std::string& reason) {
  return reason.empty() ? text : text + ": " + reason;
}
GzipError OpenError(const std::filesystem::path& source, const std::string& reason = {}) {
  return GzipError(WithReason("Error opening " + platform::TextFromPath(source), reason), GzOpenError);
}
GzipError ReadError(const std::filesystem::path& source, const std::string& reason = {}) {
  return GzipError(WithReason("Error reading from " + platform::TextFromPath(source), reason), GzReadError);
}

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// A member header (RFC 1952): magic, method 8, flags, MTIME, XFL, OS, then the optional fields.
struct MemberHeader {
  enum Status { Complete, Incomplete, Invalid } status = Invalid;
  std::size_t length = 0;  // bytes up to the deflate data
  std::string name;
  std::uint32_t mtime = 0;
};

MemberHeader ParseMemberHeader(std::span<const std::uint8_t> in) {
  enum : std::uint8_t { FHCRC = 2, FEXTRA = 4, FNAME = 8, FCOMMENT = 16, Reserved = 0xE0 };
  MemberHeader h;
  const auto incomplete = [&] {
    h.status = MemberHeader::Incomplete;
    return h;
  };
  if (in.size() >= 1 && in[0] != 0x1f) return h;
  if (in.size() >= 2 && in[1] != 0x8b) return h;
  if (in.size() >= 3 && in[2] != 8) return h;
  if (in.size() >= 4 && (in[3] & Reserved) != 0) return h;
  if (in.size() < 10) return incomplete();
  const std::uint8_t flags = in[3];
  h.mtime = Le32(&in[4]);
  std::size_t pos = 10;
  if (flags & FEXTRA) {
    if (in.size() < pos + 2) return incomplete();
    pos += 2 + (in[pos] | static_cast<std::size_t>(in[pos + 1]) << 8);
  }
  // A zero-terminated field; returns false when its end is not in the bytes yet.
  const auto field = [&](std::string* text) {
    const auto begin = in.begin() + static_cast<std::ptrdiff_t>(std::min(pos, in.size()));
    const auto end = std::find(begin, in.end(), 0);
    if (end == in.end()) return false;
    if (text) text->assign(begin, begin + std::min<std::ptrdiff_t>(end - begin, kMaxStoredName));
    pos = static_cast<std::size_t>(end - in.begin()) + 1;
    return true;
  };
  if ((flags & FNAME) && !field(&h.name)) return incomplete();
  if ((flags & FCOMMENT) && !field(nullptr)) return incomplete();
  if (flags & FHCRC) {
    if (in.size() < pos + 2) return incomplete();
    const std::uint32_t crc = GzipCrc32(in.first(pos));
    if (static_cast<std::uint32_t>(in[pos] | in[pos + 1] << 8) != (crc & 0xFFFF)) return h;
    pos += 2;
  }
  if (in.size() < pos) return incomplete();
  h.status = MemberHeader::Complete;
  h.length = pos;
  return h;
}

FileHandle OpenSource(const std::filesystem::path& source) {
  // A folder, a FIFO or a device is no map, and a FIFO would wait for a writer for ever. A
  // folder fails as a file that cannot be opened; anything else says what it is not.
  std::error_code ec;
  if (std::filesystem::is_directory(source, ec)) throw OpenError(source);
  bool notAFile = false;
  std::FILE* file = platform::OpenForReading(source, notAFile);
  if (notAFile) throw GzipError("Error opening " + platform::TextFromPath(source) + ": it is not a file", GzOpenError);
  if (!file) throw OpenError(source);
  return FileHandle(file, &std::fclose);
}

// The compressed file in memory (at most kMaxCompressedSize bytes of it; only what was read
// is kept, so the buffer is not cleared first).
core::ContainerBytes ReadCompressed(const std::filesystem::path& source) {
  FileHandle file = OpenSource(source);
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(source, ec);
  core::ContainerBytes bytes(ec ? 0 : static_cast<std::size_t>(std::min<std::uintmax_t>(size, kMaxCompressedSize)));
  std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  if (std::ferror(file.get())) throw OpenError(source);
  bytes.resize(got);
  return bytes;
}

// Inflates one member's deflate data onto the end of out and returns the compressed bytes it
// took. expected is the member's size as far as it is known (its trailer's ISIZE); the room is
// doubled when that was too little, up to the limit.
std::size_t InflateMember(std::span<const std::uint8_t> in, core::ContainerBytes& out, std::uint64_t expected,
                          const std::filesystem::path& source, std::uint64_t fileSize) {
  const std::size_t start = out.size();
  const std::uint64_t room = kMaxInflatedSize - start;
  const std::uint64_t bound = std::min<std::uint64_t>(room, in.size() * kMaxDeflateRatio + 1);
  std::uint64_t capacity = std::min(std::max<std::uint64_t>(expected, kMinFirstGuess), bound);
  for (;;) {
    out.resize(start + static_cast<std::size_t>(capacity));
    const InflateResult r = InflateDeflateStream(in, std::span<std::uint8_t>(out).subspan(start));
    if (r.outcome == InflateOutcome::Complete) {
      out.resize(start + r.produced);
      return r.consumed;
    }
    if (r.outcome == InflateOutcome::BadData) throw ReadError(source, DeflateFailureReason(in, fileSize));
    if (capacity >= room) {
      throw GzipError(
          "Error reading from " + platform::TextFromPath(source) + ": decompressed data exceeds the limit of 256 MiB",
          GzReadError);
    }
    if (capacity >= bound) {  // more than deflate can produce from this input
      throw ReadError(source, DamagedStreamReason(nullptr));
    }
    capacity = std::min(capacity * 2, bound);
  }
}

}  // namespace

std::string SafeStoredName(const std::string& stored, const std::string& fallback) {
  // Stored names come from whoever made the file: both separators count, so no part of it
  // can name a folder.
  std::size_t cut = stored.find_last_of("/\\");
  std::string name = cut == std::string::npos ? stored : stored.substr(cut + 1);
  if (name.empty() || name == "." || name == "..") return fallback;
  return name;
}

GzContent GunzipToMemory(const std::filesystem::path& source) {
  const core::ContainerBytes file = ReadCompressed(source);
  const std::span<const std::uint8_t> all(file);
  MemberHeader header = ParseMemberHeader(all);
  if (header.status != MemberHeader::Complete) {
    throw OpenError(source, NoGzipHeaderReason(all, header.status == MemberHeader::Incomplete));
  }
  GzContent content;
  content.storedName = header.name;
  content.mtime = static_cast<std::time_t>(header.mtime);

  // A file of one member ends with that member's size: the whole output is allocated once.
  std::uint64_t expected = file.size() >= 4 ? Le32(&file[file.size() - 4]) : 0;
  std::size_t pos = 0;
  for (;;) {
    pos += header.length;
    const std::size_t start = content.data.size();
    pos += InflateMember(all.subspan(pos), content.data, expected, source, file.size());
    if (file.size() - pos < 8) throw ReadError(source, TrailerCutShortReason(file.size() - pos, file.size()));
    const std::span<const std::uint8_t> produced = std::span<const std::uint8_t>(content.data).subspan(start);
    if (Le32(&file[pos]) != GzipCrc32(produced) ||
        Le32(&file[pos + 4]) != static_cast<std::uint32_t>(produced.size())) {
      throw GzipError(WithReason("Error closing " + platform::TextFromPath(source),
                                 "damaged data: it does not match the checksum or size its trailer gives"),
                      GzCloseError);
    }
    pos += 8;
    // Another member may follow (their data is concatenated, as gzip does); bytes that do not
    // begin one are ignored, bytes that do must be a whole member.
    if (file.size() - pos < 2 || file[pos] != 0x1f || file[pos + 1] != 0x8b) break;
    header = ParseMemberHeader(all.subspan(pos));
    if (header.status == MemberHeader::Incomplete) {
      throw ReadError(source, "cut short: the file ends after " + std::to_string(file.size()) +
                                  " bytes, inside the header of a further gzip member");
    }
    if (header.status != MemberHeader::Complete) throw ReadError(source, "damaged header of a further gzip member");
    expected = 0;
  }
  return content;
}

GzipHeaderInfo ReadGzFileInfo(const std::filesystem::path& source) {
  GzipHeaderInfo info;
  FileHandle file = OpenSource(source);
  // The header is read in pieces until it is complete: its optional fields have no fixed length.
  core::Bytes head;
  MemberHeader header;
  for (;;) {
    const std::size_t had = head.size();
    head.resize(had + kHeaderChunk);
    head.resize(had + std::fread(head.data() + had, 1, kHeaderChunk, file.get()));
    header = ParseMemberHeader(head);
    if (header.status != MemberHeader::Incomplete || head.size() == had) break;
  }
  if (header.status != MemberHeader::Complete) {
    throw OpenError(source, NoGzipHeaderReason(head, header.status == MemberHeader::Incomplete));
  }
  info.name = SafeStoredName(header.name, WithoutExtension(source));
  info.mtime = static_cast<std::time_t>(header.mtime);
  return info;
}

core::Bytes InflatePrefix(const std::filesystem::path& source, std::size_t limit) {
  // Only the first bytes are wanted: zlib's streaming inflate stops when they are in, where a
  // whole-buffer inflater would decompress the whole map.
  ReadGzFileInfo(source);  // what is no gzip file cannot be opened
  FileHandle file = OpenSource(source);
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  if (inflateInit2(&stream, 15 + 16) != Z_OK) throw OpenError(source);
  std::unique_ptr<z_stream, int (*)(z_stream*)> end(&stream, &inflateEnd);
  std::array<std::uint8_t, 16384> input;
  core::Bytes out(limit);
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(limit);
  int rc = Z_OK;
  while (stream.avail_out > 0 && rc == Z_OK) {
    if (stream.avail_in == 0) {
      stream.avail_in = static_cast<uInt>(std::fread(input.data(), 1, input.size(), file.get()));
      stream.next_in = input.data();
      if (stream.avail_in == 0) break;
    }
    rc = inflate(&stream, Z_NO_FLUSH);
  }
  if (rc == Z_DATA_ERROR) {
    throw ReadError(source, DamagedStreamReason(stream.msg));
  }
  if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) throw ReadError(source);
  out.resize(limit - stream.avail_out);
  return out;
}

}  // namespace kartwerk::format

// The gzip layer: compiled maps are gzip files whose header stores the name the
// decompressed file is to have (FNAME) and its modification time (MTIME).
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <ios>
#include <string>

#include "core/byte_stream.hpp"

namespace kartwerk::format {

enum GzErrorCode : int { GzOpenError = 2, GzCloseError = 3, GzReadError = 4, GzWriteError = 5 };

class GzipError : public std::ios_base::failure {
 public:
  GzipError(const std::string& message, int code) : std::ios_base::failure(message), gzCode(code), message_(message) {}
  // The message exactly as given, without the library's added category text.
  const char* what() const noexcept override { return message_.c_str(); }
  int gzCode;

 private:
  std::string message_;
};

struct GzipHeaderInfo {
  std::string name;       // stored name reduced to a plain file name, or the source's name without extension
  std::time_t mtime = 0;  // the header's modification time, seconds since 1970 UTC
};

// A decompressed map never needs more than this; larger output stops with a read error.
inline constexpr std::uint64_t kMaxInflatedSize = 256ull * 1024 * 1024;

// A gzip file decompressed into memory: every member's data, one after the other, and the
// first member's header fields.
struct GzContent {
  core::ContainerBytes data;
  std::string storedName;  // FNAME as stored (empty when none), not yet made safe
  std::time_t mtime = 0;
};

// Decompresses the whole of source into memory: open, read and close errors (GzipError) and a
// read error past kMaxInflatedSize. The buffer is allocated once at the size the member's
// trailer announces, never beyond the limit.
GzContent GunzipToMemory(const std::filesystem::path& source);

// Reads only the header of source (failing with GzOpenError when it is no gzip header).
GzipHeaderInfo ReadGzFileInfo(const std::filesystem::path& source);

// Decompresses at most limit bytes of source into memory (enough to read a map's header
// without decompressing the whole file).
core::Bytes InflatePrefix(const std::filesystem::path& source, std::size_t limit);

// The name a stored FNAME may safely be given: its last path component, or the fallback
// when that is empty, "." or "..".
std::string SafeStoredName(const std::string& stored, const std::string& fallback);

}  // namespace kartwerk::format

#include "core/gzip_file.hpp"

#include <zlib.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>
#include <vector>

#include "core/path_text.hpp"
#include "core/platform_files.hpp"

namespace kartwerk {
namespace {

constexpr std::size_t kChunk = 16384;
constexpr std::size_t kOutputChunk = 256 * 1024;  // decompressed bytes per write

std::string WithoutExtension(const std::filesystem::path& path) { return PathText(path.stem()); }

// The output folder as the messages name it: with its trailing separator.
std::string FolderText(const std::filesystem::path& folder) {
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  std::string text = folder.string();
  if (text.empty() || text.back() != separator) text += separator;
  return text;
}

// One gzip file being inflated, with its header read as soon as the first bytes are in.
class GzReader {
 public:
  explicit GzReader(const std::filesystem::path& source) : source_(source) {
    file_ = OpenFile(source, "rb");
    if (!file_) throw EGZipError("Error opening " + source.string(), GzOpenError);
    std::memset(&stream_, 0, sizeof stream_);
    if (inflateInit2(&stream_, 15 + 16) != Z_OK) {
      std::fclose(file_);
      throw EGZipError("Error opening " + source.string(), GzOpenError);
    }
    ResetHeader();
  }
  ~GzReader() {
    inflateEnd(&stream_);
    if (file_) std::fclose(file_);
  }
  GzReader(const GzReader&) = delete;
  GzReader& operator=(const GzReader&) = delete;

  // Reads until the member header is complete. A file too short or not gzip cannot be opened.
  void ReadHeader() {
    while (!header_captured_) {
      if (stream_.avail_in == 0 && !Fill()) throw EGZipError("Error opening " + source_.string(), GzOpenError);
      std::array<std::uint8_t, kChunk> scratch;
      stream_.next_out = scratch.data();
      stream_.avail_out = static_cast<uInt>(scratch.size());
      int rc = inflate(&stream_, Z_NO_FLUSH);
      CaptureHeader();
      if (!header_captured_ && rc != Z_OK && rc != Z_BUF_ERROR) {
        throw EGZipError("Error opening " + source_.string(), GzOpenError);
      }
      // Decompressed bytes that arrive with the header are kept for the first Read.
      pending_.insert(pending_.end(), scratch.data(), scratch.data() + (scratch.size() - stream_.avail_out));
      if (rc == Z_STREAM_END) {
        NextMember();
      } else if (rc == Z_DATA_ERROR && IsTrailerCheck()) {
        throw EGZipError("Error closing " + source_.string(), GzCloseError);
      } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
        throw EGZipError("Error reading from " + source_.string(), GzReadError);
      }
    }
  }

  const std::string& stored_name() const { return stored_name_; }
  std::time_t mtime() const { return mtime_; }

  // Fills out with decompressed bytes; returns the count, 0 at the end of the data.
  // Throws a read error for damaged or truncated data and a close error when a member's
  // trailer check fails.
  std::size_t Read(std::uint8_t* out, std::size_t capacity) {
    if (!pending_.empty()) {
      std::size_t n = std::min(capacity, pending_.size());
      std::memcpy(out, pending_.data(), n);
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
      return n;
    }
    std::size_t produced = 0;
    while (produced == 0 && !finished_) {
      if (stream_.avail_in == 0) Fill();
      stream_.next_out = out;
      stream_.avail_out = static_cast<uInt>(capacity);
      int rc = inflate(&stream_, Z_NO_FLUSH);
      produced = capacity - stream_.avail_out;
      if (rc == Z_STREAM_END) {
        NextMember();
      } else if (rc == Z_DATA_ERROR && IsTrailerCheck()) {
        throw EGZipError("Error closing " + source_.string(), GzCloseError);
      } else if (rc == Z_OK || rc == Z_BUF_ERROR) {
        if (produced == 0 && stream_.avail_in == 0 && eof_) {
          throw EGZipError("Error reading from " + source_.string(), GzReadError);  // truncated member
        }
      } else {
        throw EGZipError("Error reading from " + source_.string(), GzReadError);
      }
    }
    return produced;
  }

 private:
  bool Fill() {
    if (stream_.avail_in > 0) return true;
    std::size_t got = std::fread(input_.data(), 1, input_.size(), file_);
    if (got == 0) {
      eof_ = true;
      return false;
    }
    stream_.next_in = input_.data();
    stream_.avail_in = static_cast<uInt>(got);
    return true;
  }

  // After a member ends, another member may follow (their data is concatenated, as gzip does);
  // anything else after the end is ignored.
  void NextMember() {
    if (stream_.avail_in == 1) {
      // A member's two-byte magic may straddle two reads: keep the byte in hand and read on.
      input_[0] = stream_.next_in[0];
      const std::size_t got = std::fread(input_.data() + 1, 1, input_.size() - 1, file_);
      stream_.next_in = input_.data();
      stream_.avail_in = static_cast<uInt>(1 + got);
    }
    if (stream_.avail_in == 0) Fill();
    if (stream_.avail_in >= 2 && stream_.next_in[0] == 0x1f && stream_.next_in[1] == 0x8b) {
      inflateReset(&stream_);
      ResetHeader();
    } else {
      finished_ = true;
    }
  }

  void ResetHeader() {
    std::memset(&header_, 0, sizeof header_);
    name_.fill(0);
    header_.name = name_.data();
    header_.name_max = static_cast<uInt>(name_.size() - 1);
    inflateGetHeader(&stream_, &header_);
  }

  // Only the first member's header names the file.
  void CaptureHeader() {
    if (header_captured_ || header_.done != 1) return;
    header_captured_ = true;
    stored_name_ = reinterpret_cast<const char*>(name_.data());
    mtime_ = static_cast<std::time_t>(header_.time);
  }

  bool IsTrailerCheck() const {
    return stream_.msg && (std::strcmp(stream_.msg, "incorrect data check") == 0 ||
                           std::strcmp(stream_.msg, "incorrect length check") == 0);
  }

  std::filesystem::path source_;
  std::FILE* file_ = nullptr;
  z_stream stream_;
  gz_header header_;
  std::array<Bytef, 1024> name_{};
  std::array<std::uint8_t, kChunk> input_{};
  Bytes pending_;
  std::string stored_name_;
  std::time_t mtime_ = 0;
  bool finished_ = false;
  bool eof_ = false;
  bool header_captured_ = false;
};

}  // namespace

std::string SafeStoredName(const std::string& stored, const std::string& fallback) {
  // Stored names come from whoever made the file: both separators count, so no part of it
  // can name a folder.
  std::size_t cut = stored.find_last_of("/\\");
  std::string name = cut == std::string::npos ? stored : stored.substr(cut + 1);
  if (name.empty() || name == "." || name == "..") return fallback;
  return name;
}

std::uint32_t PackDosDateTime(std::time_t moment) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &moment);
#else
  localtime_r(&moment, &local);
#endif
  const int year = local.tm_year + 1900;
  if (year < 1980) return (1u << 5) | 1u;  // the packed form starts at 1980-01-01
  const std::uint32_t date = static_cast<std::uint32_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  const std::uint32_t time = static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return (date << 16) | time;
}

std::filesystem::path GunzipToFolder(const std::filesystem::path& source, const std::filesystem::path& folder) {
  const std::uint32_t attributes = PermissionBits(source);
  GzReader reader(source);
  reader.ReadHeader();
  const std::filesystem::path output =
      folder / PathFromText(SafeStoredName(reader.stored_name(), WithoutExtension(source)));

  // A read-only file of that name from an earlier run is made writable before it is replaced.
  MakeWritable(output);
  std::FILE* out = OpenFile(output, "wb");
  if (!out) throw EGZipError("Error opening " + FolderText(folder), GzOpenError);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> guard(out, &std::fclose);
  // A decompression that fails takes its partial output with it: damaged data never lies in
  // the folder looking like a staged map.
  struct PartialOutput {
    const std::filesystem::path& path;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)>& file;
    bool complete = false;
    ~PartialOutput() {
      if (complete) return;
      file.reset();
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  } partial{output, guard};

  // Large pieces: zlib copies every call's output into its 32 KiB window as well, so small
  // pieces would copy the whole map a second time (the bytes written are the same either way).
  std::vector<std::uint8_t> buffer(kOutputChunk);
  std::uint64_t total = 0;
  for (;;) {
    std::size_t n = reader.Read(buffer.data(), buffer.size());
    if (n == 0) break;
    total += n;
    if (total > kMaxInflatedSize) {
      throw EGZipError("Error reading from " + source.string() + ": decompressed data exceeds the limit of 256 MiB",
                       GzReadError);
    }
    if (std::fwrite(buffer.data(), 1, n, out) != n) {
      throw EGZipError("Error writing to " + FolderText(folder), GzWriteError);
    }
  }
  if (std::fflush(out) != 0) throw EGZipError("Error writing to " + FolderText(folder), GzWriteError);
  guard.reset();
  partial.complete = true;

  SetModificationTime(output, reader.mtime());
  if (attributes != 0) SetPermissionBits(output, attributes);
  return output;
}

TGzFileInfo ReadGzFileInfo(const std::filesystem::path& source) {
  TGzFileInfo info;
  info.Date = PackDosDateTime(std::time(nullptr));
  GzReader reader(source);
  reader.ReadHeader();
  info.Name = SafeStoredName(reader.stored_name(), WithoutExtension(source));
  info.MTime = reader.mtime();
  info.Date = PackDosDateTime(reader.mtime());
  info.Attributes = PermissionBits(source);
  return info;
}

Bytes InflatePrefix(const std::filesystem::path& source, std::size_t limit) {
  GzReader reader(source);
  reader.ReadHeader();
  Bytes out(limit);
  std::size_t filled = 0;
  while (filled < limit) {
    std::size_t n = reader.Read(out.data() + filled, limit - filled);
    if (n == 0) break;
    filled += n;
  }
  out.resize(filled);
  return out;
}

}  // namespace kartwerk

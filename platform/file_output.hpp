// Writing output files: the content goes piece by piece through a buffer into a temporary file
// in the same folder, which replaces the target only when the whole content is written, so a
// failed write never leaves a truncated file behind and no file is ever held whole in memory.
// Given a log of written files, each piece is hashed on its way to the disk and the file's size
// and digest are logged once it is in place.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>

#include "platform/content_hash.hpp"
#include "platform/file_sink.hpp"
#include "platform/written_files.hpp"

namespace kartwerk::platform {

// Removes an earlier output file of this name, if any. A conversion step calls this before it
// writes its content, so a step that fails leaves no copy from an earlier run that could pass
// for this run's output. A file that cannot be removed is reported by the write that follows.
// With a sink the files go there instead, and nothing on disk is touched.
void DiscardFile(const std::filesystem::path& path, FileSink* sink = nullptr, WrittenFiles* written = nullptr);

// One output file being written. Every failure throws FileCreateError naming the target and the
// system's reason; a file not committed is removed when the object goes. With a sink, the content
// goes to it instead of a file: nothing is created on disk (and nothing is logged).
class OutputFile {
 public:
  explicit OutputFile(std::filesystem::path target, FileSink* sink = nullptr, WrittenFiles* written = nullptr);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Append(std::string_view text);
  void Append(std::span<const std::uint8_t> bytes);
  void Append(char c) {
    if (used_ == kBufferSize) Flush();
    buffer_[used_++] = c;
  }
  // Room for up to count bytes (at most kMaxRoom) at the end of the buffer, for a writer that
  // makes its piece in place instead of copying it in; Advance(n) then takes the first n.
  char* Room(std::size_t count) {
    if (count > kBufferSize - used_) Flush();
    return buffer_.get() + used_;
  }
  std::uint8_t* ByteRoom(std::size_t count) { return reinterpret_cast<std::uint8_t*>(Room(count)); }
  void Advance(std::size_t count) { used_ += count; }
  static constexpr std::size_t kMaxRoom = 64 * 1024;

  // Writes what is buffered and renames the temporary file over the target.
  void Commit();

 private:
  static constexpr std::size_t kBufferSize = 256 * 1024;
  void Flush();
  // Writes bytes to the temporary file, hashing them first when the file is logged.
  void Put(const char* bytes, std::size_t count);
  // Removes the temporary file and reports error after the target's name.
  [[noreturn]] void Fail(const std::error_code& error);

  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::FILE* file_ = nullptr;
  FileSink* sink_ = nullptr;
  WrittenFiles* written_ = nullptr;
  std::optional<ContentHash> hash_;
  std::uintmax_t size_ = 0;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

// The whole content at once (an empty content gives an empty file).
void WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> content, FileSink* sink = nullptr,
                     WrittenFiles* written = nullptr);
void WriteFileAtomic(const std::filesystem::path& path, std::string_view content, FileSink* sink = nullptr,
                     WrittenFiles* written = nullptr);

}  // namespace kartwerk::platform

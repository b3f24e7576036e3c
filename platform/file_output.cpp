#include "platform/file_output.hpp"

#include <cstring>
#include <string>
#include <system_error>

#include "core/error_text.hpp"
#include "core/errors.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::platform {

OutputFile::OutputFile(std::filesystem::path target, FileSink* sink, WrittenFiles* written)
    : target_(std::move(target)), sink_(sink), written_(sink ? nullptr : written), buffer_(new char[kBufferSize]) {
  if (sink_) {
    sink_->Begin(target_);
    return;
  }
  if (written_) {
    written_->Forget(target_);  // until this content is in place, the log knows nothing of the file
    hash_.emplace();
  }
  core::ClearLastFileError();
  file_ = CreateUniqueSibling(target_, temp_);
  if (!file_) throw core::FileCreateError(TextFromPath(target_), core::ErrorText(core::LastFileError()));
  // The buffer here is the only one: the stream's own would copy every piece once more.
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

OutputFile::~OutputFile() {
  if (!file_) return;
  std::fclose(file_);
  std::error_code ignored;
  std::filesystem::remove(temp_, ignored);
}

void OutputFile::Fail(const std::error_code& error) {
  std::fclose(file_);
  file_ = nullptr;
  std::error_code ignored;
  std::filesystem::remove(temp_, ignored);
  throw core::FileCreateError(TextFromPath(target_), core::ErrorText(error));
}

void OutputFile::Flush() {
  if (sink_) {
    if (used_ > 0) sink_->Write({reinterpret_cast<const std::uint8_t*>(buffer_.get()), used_});
    used_ = 0;
    return;
  }
  Put(buffer_.get(), used_);
  used_ = 0;
}

void OutputFile::Put(const char* bytes, std::size_t count) {
  if (count == 0) return;
  if (hash_) hash_->Add({bytes, count});
  size_ += count;
  core::ClearLastFileError();
  if (std::fwrite(bytes, 1, count, file_) != count) Fail(core::LastFileError());
}

void OutputFile::Append(std::string_view text) {
  if (text.empty()) return;
  // Small pieces are gathered; a large one (a grid taken from the container) goes to the
  // file as it is, after what is buffered.
  if (text.size() < kMaxRoom && text.size() <= kBufferSize - used_) {
    std::memcpy(buffer_.get() + used_, text.data(), text.size());
    used_ += text.size();
    return;
  }
  Flush();
  if (text.size() < kMaxRoom) {
    std::memcpy(buffer_.get(), text.data(), text.size());
    used_ = text.size();
  } else if (sink_) {
    sink_->Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  } else {
    Put(text.data(), text.size());  // a large piece goes straight to the file, without a copy
  }
}

void OutputFile::Append(std::span<const std::uint8_t> bytes) {
  Append(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void OutputFile::Commit() {
  Flush();
  if (sink_) {
    sink_->End();
    return;
  }
  std::FILE* file = file_;
  file_ = nullptr;
  core::ClearLastFileError();
  if (std::fclose(file) != 0) {
    const std::error_code error = core::LastFileError();
    std::error_code ignored;
    std::filesystem::remove(temp_, ignored);
    throw core::FileCreateError(TextFromPath(target_), core::ErrorText(error));
  }
  try {
    ReplaceFileWith(temp_, target_);
  } catch (...) {
    std::error_code cleanup;
    std::filesystem::remove(temp_, cleanup);
    throw;
  }
  if (written_) written_->Record(target_, {size_, hash_->Digest()});
}

void WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> content, FileSink* sink,
                     WrittenFiles* written) {
  OutputFile out(path, sink, written);
  out.Append(content);
  out.Commit();
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view content, FileSink* sink,
                     WrittenFiles* written) {
  OutputFile out(path, sink, written);
  out.Append(content);
  out.Commit();
}

void DiscardFile(const std::filesystem::path& path, FileSink* sink, WrittenFiles* written) {
  if (sink) return;
  if (written) written->Forget(path);
  std::error_code ignored;
  if (!std::filesystem::is_directory(path, ignored)) std::filesystem::remove(path, ignored);
}

}  // namespace kartwerk::platform

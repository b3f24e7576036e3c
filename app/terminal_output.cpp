#include "app/terminal_output.hpp"

#include <iostream>

#include "core/shown_text.hpp"

namespace kartwerk::app {
namespace {

// How many bytes at the end of text begin a UTF-8 sequence that the next write may complete.
std::size_t CutSequenceLength(const std::string& text) {
  for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

}  // namespace

EscapingBuffer::EscapingBuffer(std::FILE* out) : out_(out) {}

EscapingBuffer::~EscapingBuffer() {
  std::lock_guard lock(mutex_);
  if (!pending_.empty()) {
    const std::string shown = core::TerminalText(pending_);
    std::fwrite(shown.data(), 1, shown.size(), out_);
  }
  std::fflush(out_);
}

void EscapingBuffer::Emit(bool flush) {
  std::size_t end = pending_.rfind('\n');
  end = end == std::string::npos ? 0 : end + 1;
  if (flush) end = pending_.size() - CutSequenceLength(pending_);
  if (end == 0) return;
  const std::string shown = core::TerminalText(std::string_view(pending_).substr(0, end));
  std::fwrite(shown.data(), 1, shown.size(), out_);
  pending_.erase(0, end);
}

EscapingBuffer::int_type EscapingBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  std::lock_guard lock(mutex_);
  pending_ += traits_type::to_char_type(c);
  if (c == '\n') Emit(false);
  return c;
}

std::streamsize EscapingBuffer::xsputn(const char* s, std::streamsize n) {
  std::lock_guard lock(mutex_);
  pending_.append(s, static_cast<std::size_t>(n));
  Emit(false);
  return n;
}

int EscapingBuffer::sync() {
  std::lock_guard lock(mutex_);
  Emit(true);
  return std::fflush(out_) == 0 ? 0 : -1;
}

void EscapingBuffer::WriteControl(std::string_view sequence) {
  std::lock_guard lock(mutex_);
  Emit(true);
  std::fwrite(sequence.data(), 1, sequence.size(), out_);
  std::fflush(out_);
}

TerminalOutput::TerminalOutput()
    : out_(stdout), err_(stderr), previousOut_(std::cout.rdbuf(&out_)), previousErr_(std::cerr.rdbuf(&err_)) {}

TerminalOutput::~TerminalOutput() {
  std::cout.flush();
  std::cerr.flush();
  std::cout.rdbuf(previousOut_);
  std::cerr.rdbuf(previousErr_);
}

void WriteTerminalControl(std::ostream& out, std::string_view sequence) {
  if (auto* escaping = dynamic_cast<EscapingBuffer*>(out.rdbuf())) {
    escaping->WriteControl(sequence);
  } else {
    out << sequence << std::flush;
  }
}

}  // namespace kartwerk::app

// The one writer of everything the program prints. Standard output and standard error are
// std::cout and std::cerr over an EscapingBuffer each, for as long as main's TerminalOutput lives:
// every byte passes TerminalText, so no name, registry value, warning or exception text can put a
// control character on the user's terminal, whichever command prints it and however it was made.
// The progress bars' own "\r" and erase-line sequences are the only bytes that pass unescaped,
// through WriteTerminalControl.
#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace kartwerk::app {

// A stream buffer that writes into a C stream (stdout, stderr), escaping control characters. It
// holds no text back past a flush, except the start of a UTF-8 sequence cut between two writes.
// Writes from several threads are serialised.
class EscapingBuffer : public std::streambuf {
 public:
  explicit EscapingBuffer(std::FILE* out);
  ~EscapingBuffer() override;

  // Writes what is pending, then sequence as it is.
  void WriteControl(std::string_view sequence);

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  // Writes the pending text up to its last line feed, or all of it (but a cut sequence) on a flush.
  void Emit(bool flush);

  std::FILE* out_;
  std::mutex mutex_;
  std::string pending_;
};

// Puts std::cout and std::cerr over EscapingBuffers of stdout and stderr until it is destroyed.
class TerminalOutput {
 public:
  TerminalOutput();
  ~TerminalOutput();
  TerminalOutput(const TerminalOutput&) = delete;
  TerminalOutput& operator=(const TerminalOutput&) = delete;

 private:
  EscapingBuffer out_;
  EscapingBuffer err_;
  std::streambuf* previousOut_;
  std::streambuf* previousErr_;
};

// A terminal's control sequence of the program's own (a progress bar's "\r\033[K"), unescaped.
void WriteTerminalControl(std::ostream& out, std::string_view sequence);

}  // namespace kartwerk::app

#include "app/windowed_output.hpp"

#include <iostream>
#include <string_view>

#ifdef _WIN32
#include <windows.h>

#include "ui/win32/wide_text.hpp"
#endif

namespace kartwerk::app {

std::string WindowedText(const std::string& printed) {
  constexpr std::string_view kProgram = "kartwerk: ";
  std::string text;
  std::size_t start = 0;
  while (start < printed.size()) {
    std::size_t end = printed.find('\n', start);
    if (end == std::string::npos) end = printed.size();
    std::string_view line(printed.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kProgram.size()) == kProgram) line.remove_prefix(kProgram.size());
    text.append(line).append("\n");
    start = end + 1;
  }
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

WindowedOutput::WindowedOutput(bool gather) : gathering_(gather) {
  if (!gathering_) return;
  output_ = std::cout.rdbuf(&gathered_);
  errors_ = std::cerr.rdbuf(&gathered_);
}

WindowedOutput::~WindowedOutput() {
  if (!gathering_) return;
  std::cout.rdbuf(output_);
  std::cerr.rdbuf(errors_);
}

std::string WindowedOutput::Text() {
  if (!gathering_) return {};
  std::cout.flush();
  std::cerr.flush();
  return WindowedText(gathered_.str());
}

void WindowedOutput::Show([[maybe_unused]] int status) {
  const std::string text = Text();
  if (text.empty()) return;
#ifdef _WIN32
  MessageBoxW(nullptr, win32::Wide(text).c_str(), L"Kartwerk",
              MB_OK | MB_SETFOREGROUND | (status == 0 ? MB_ICONINFORMATION : MB_ICONERROR));
#endif
}

}  // namespace kartwerk::app

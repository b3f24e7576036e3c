#include "app/windowed_output.hpp"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
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

#ifdef _WIN32
WindowedOutput::WindowedOutput(bool gather) {
  if (!gather) return;
  try {
    folder_ = std::make_unique<PrivateTempFolder>();
  } catch (const std::exception&) {
    return;  // nowhere to gather: the output is lost, as it was before
  }
  file_ = folder_->path() / "output.txt";
  // Both streams into one file, each write appended unbuffered, so the lines keep the order they
  // were printed in.
  if (_wfreopen(file_.c_str(), L"a", stdout) == nullptr || _wfreopen(file_.c_str(), L"a", stderr) == nullptr) {
    file_.clear();
    return;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
}

// The streams let go of the file before the private folder is removed with it.
WindowedOutput::~WindowedOutput() {
  if (file_.empty()) return;
  std::cout.flush();
  std::cerr.flush();
  (void)_wfreopen(L"NUL", L"w", stdout);
  (void)_wfreopen(L"NUL", L"w", stderr);
}

void WindowedOutput::Show(int status) {
  if (file_.empty()) return;
  std::cout.flush();
  std::cerr.flush();
  std::fflush(stdout);
  std::fflush(stderr);
  std::ifstream in(file_, std::ios::binary);
  const std::string printed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string text = WindowedText(printed);
  if (text.empty()) return;
  MessageBoxW(nullptr, win32::Wide(text).c_str(), L"Kartwerk",
              MB_OK | MB_SETFOREGROUND | (status == 0 ? MB_ICONINFORMATION : MB_ICONERROR));
}
#else
WindowedOutput::WindowedOutput(bool) {}
WindowedOutput::~WindowedOutput() = default;
void WindowedOutput::Show(int) {}
#endif

}  // namespace kartwerk::app

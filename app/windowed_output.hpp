// What the program prints, shown in a window when there is no terminal to print it to: on
// Windows, kartwerk.exe started from Explorer (a file dropped on it, "Open with") or from a
// Start-menu entry has neither a console nor handed-over output. Elsewhere there is always
// somewhere to print, and nothing changes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "core/temp_folder.hpp"

namespace kartwerk::app {

class WindowedOutput {
 public:
  // With gather false nothing changes. With gather true, standard output and standard error (both
  // the C++ streams and the C ones) go into a file in a private temporary folder until Show.
  explicit WindowedOutput(bool gather);
  ~WindowedOutput();
  WindowedOutput(const WindowedOutput&) = delete;
  WindowedOutput& operator=(const WindowedOutput&) = delete;

  // Shows what was gathered, unchanged, in a message box titled "Kartwerk" (an error's icon when
  // status is not 0); nothing when nothing was printed or nothing was gathered.
  void Show(int status);

 private:
  std::unique_ptr<PrivateTempFolder> folder_;
  std::filesystem::path file_;
};

// The gathered text as the window shows it: trailing line ends removed, and each line's
// "kartwerk: " (which names the program on a terminal; the window's title does that) removed.
std::string WindowedText(const std::string& printed);

}  // namespace kartwerk::app

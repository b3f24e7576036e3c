// What the program prints, shown in a window when there is no terminal to print it to: on
// Windows, kartwerk.exe started from Explorer (a file dropped on it, "Open with") or from a
// Start-menu entry has neither a console nor handed-over output. Elsewhere there is always
// somewhere to print, and nothing changes.
#pragma once

#include <sstream>
#include <streambuf>
#include <string>

namespace kartwerk::app {

class WindowedOutput {
 public:
  // With gather false nothing changes. With gather true, what the program prints on std::cout and
  // std::cerr (usage, the commands' results and errors, a batch conversion's progress lines,
  // warnings, failures and summary) is kept in memory, in the order printed, until the object
  // goes. Every command prints through those two streams alone (app/terminal_output): the C
  // library's stdout and stderr lead nowhere in a program started without them.
  explicit WindowedOutput(bool gather);
  ~WindowedOutput();
  WindowedOutput(const WindowedOutput&) = delete;
  WindowedOutput& operator=(const WindowedOutput&) = delete;

  // Shows what was gathered, unchanged, in a message box titled "Kartwerk" (an error's icon when
  // status is not 0); nothing when nothing was printed or nothing was gathered.
  void Show(int status);
  // What Show shows: the gathered text as WindowedText makes it; empty when nothing is gathered.
  std::string Text();

 private:
  bool gathering_ = false;
  std::stringbuf gathered_;
  std::streambuf* output_ = nullptr;
  std::streambuf* errors_ = nullptr;
};

// The gathered text as the window shows it: trailing line ends removed, and each line's
// "kartwerk: " (which names the program on a terminal; the window's title does that) removed.
std::string WindowedText(const std::string& printed);

}  // namespace kartwerk::app

// Conversion progress on standard error: one step label per line, or, on a terminal, a bar
// that is redrawn in place. Warnings get lines of their own in both forms.
#pragma once

#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>

namespace kartwerk::app {

// The width of a progress bar on a terminal, in characters, for one map and for a batch alike.
inline constexpr std::size_t kBarWidth = 30;

class ConsoleProgress {
 public:
  // bar: draw a bar instead of lines (for a terminal); quiet: show no progress at all.
  ConsoleProgress(std::ostream& out, bool bar, bool quiet);

  // The number of labels the run will report, once known; the bar is drawn against it.
  void Plan(std::size_t labels);
  void Step(const std::string& label);
  void Warn(const std::string& message);
  // Ends the bar's line, if one is drawn.
  void Finish();

 private:
  void ClearBar();
  void DrawBar();

  std::ostream& out_;
  bool bar_;
  bool quiet_;
  std::mutex mutex_;  // labels and warnings may come from the worker thread
  std::size_t planned_ = 0;
  std::size_t done_ = 0;
  std::string label_;
  bool barShown_ = false;
};

}  // namespace kartwerk::app

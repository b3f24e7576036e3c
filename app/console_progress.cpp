#include "app/console_progress.hpp"

#include <algorithm>

#include "app/terminal_output.hpp"
#include "core/shown_text.hpp"

namespace kartwerk::app {

ConsoleProgress::ConsoleProgress(std::ostream& out, bool bar, bool quiet) : out_(out), bar_(bar), quiet_(quiet) {}

void ConsoleProgress::Plan(std::size_t labels) {
  std::lock_guard lock(mutex_);
  planned_ = labels;
}

void ConsoleProgress::Step(const std::string& label) {
  std::lock_guard lock(mutex_);
  ++done_;
  if (quiet_) return;
  if (!bar_) {
    out_ << core::ShownText(label) << "\n" << std::flush;
    return;
  }
  label_ = core::ShownText(label);
  DrawBar();
}

void ConsoleProgress::Warn(const std::string& message) {
  std::lock_guard lock(mutex_);
  ClearBar();
  out_ << "kartwerk: warning: " << core::ShownText(message) << "\n";
  if (barShown_) DrawBar();
  out_.flush();
}

void ConsoleProgress::Finish() {
  std::lock_guard lock(mutex_);
  if (barShown_) {
    out_ << "\n" << std::flush;
    barShown_ = false;
  }
}

void ConsoleProgress::ClearBar() {
  if (barShown_) WriteTerminalControl(out_, "\r\033[K");
}

void ConsoleProgress::DrawBar() {
  // Like the window's gauge, the bar stops at its maximum.
  const std::size_t total = std::max(planned_, done_);
  const std::size_t filled = total == 0 ? 0 : kBarWidth * std::min(done_, total) / total;
  std::string bar(filled, '#');
  bar.resize(kBarWidth, '.');
  WriteTerminalControl(out_, "\r\033[K");
  out_ << "[" << bar << "] " << done_ << "/" << total << " " << label_ << std::flush;
  barShown_ = true;
}

}  // namespace kartwerk::app

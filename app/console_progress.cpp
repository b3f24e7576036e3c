#include "app/console_progress.hpp"

#include <algorithm>

#include "core/shown_text.hpp"

namespace kartwerk::app {

ConsoleProgress::ConsoleProgress(std::FILE* out, bool bar, bool quiet) : out_(out), bar_(bar), quiet_(quiet) {}

void ConsoleProgress::Plan(std::size_t labels) {
  std::lock_guard lock(mutex_);
  planned_ = labels;
}

void ConsoleProgress::Step(const std::string& label) {
  std::lock_guard lock(mutex_);
  ++done_;
  if (quiet_) return;
  if (!bar_) {
    std::fprintf(out_, "%s\n", ShownText(label).c_str());
    std::fflush(out_);
    return;
  }
  label_ = ShownText(label);
  DrawBar();
}

void ConsoleProgress::Warn(const std::string& message) {
  std::lock_guard lock(mutex_);
  ClearBar();
  std::fprintf(out_, "kartwerk: warning: %s\n", ShownText(message).c_str());
  if (barShown_) DrawBar();
  std::fflush(out_);
}

void ConsoleProgress::Finish() {
  std::lock_guard lock(mutex_);
  if (barShown_) {
    std::fputc('\n', out_);
    std::fflush(out_);
    barShown_ = false;
  }
}

void ConsoleProgress::ClearBar() {
  if (barShown_) std::fputs("\r\033[K", out_);
}

void ConsoleProgress::DrawBar() {
  // Like the window's gauge, the bar stops at its maximum.
  const std::size_t total = std::max(planned_, done_);
  const std::size_t filled = total == 0 ? 0 : kBarWidth * std::min(done_, total) / total;
  std::string bar(filled, '#');
  bar.resize(kBarWidth, '.');
  std::fprintf(out_, "\r\033[K[%s] %zu/%zu %s", bar.c_str(), done_, total, label_.c_str());
  std::fflush(out_);
  barShown_ = true;
}

}  // namespace kartwerk::app

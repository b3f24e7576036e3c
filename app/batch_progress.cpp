#include "app/batch_progress.hpp"

#include <algorithm>

#include "app/console_progress.hpp"
#include "core/path_text.hpp"
#include "core/shown_text.hpp"

#include "pipeline/conversion_steps.hpp"
#include "pipeline/slot_commit.hpp"

namespace kartwerk::app {

BatchProgress::BatchProgress(std::FILE* out, bool bar, bool quiet, std::vector<std::string> names,
                             std::vector<std::string> files, std::filesystem::path outFolder)
    : out_(out),
      bar_(bar),
      quiet_(quiet),
      names_(std::move(names)),
      files_(std::move(files)),
      outFolder_(std::move(outFolder)),
      maps_(names_.size()) {
  for (std::string& file : files_) file = ShownText(file);
}

void BatchProgress::Planned(std::size_t map, std::size_t labels) {
  std::lock_guard lock(mutex_);
  if (map < maps_.size()) maps_[map].planned = labels;
}

void BatchProgress::Step(std::size_t map, const std::string& label) {
  std::lock_guard lock(mutex_);
  if (map >= maps_.size()) return;
  ++maps_[map].done;
  if (quiet_) return;
  if (!bar_) {
    std::fprintf(out_, "[%zu/%zu] %s: %s\n", map + 1, maps_.size(), ShownText(names_[map]).c_str(),
                 ShownText(label).c_str());
    std::fflush(out_);
    return;
  }
  lastMap_ = map;
  lastLabel_ = label;
  DrawBar();
}

void BatchProgress::Warn(std::size_t map, const std::string& message) {
  std::lock_guard lock(mutex_);
  ClearBar();
  std::fprintf(out_, "kartwerk: warning: %s: %s\n", map < files_.size() ? files_[map].c_str() : "",
               ShownText(message).c_str());
  if (barShown_) DrawBar();
  std::fflush(out_);
}

void BatchProgress::Ended(std::size_t map, const ConversionEnd& end) {
  std::lock_guard lock(mutex_);
  if (map >= maps_.size()) return;
  maps_[map].ended = true;
  if (end.error) {
    ClearBar();
    std::fprintf(out_, "kartwerk: %s: %s\n", files_[map].c_str(), ShownText(end.FailureText()).c_str());
  } else if (!end.previousContent.empty()) {
    ClearBar();
    const std::string text = PreviousContentText(outFolder_ / PathFromText(names_[map]), end.previousContent);
    std::fprintf(out_, "kartwerk: %s: %s\n", files_[map].c_str(), ShownText(text).c_str());
  }
  if (barShown_) DrawBar();
  std::fflush(out_);
}

void BatchProgress::Finish(const std::string& summary) {
  std::lock_guard lock(mutex_);
  if (barShown_) {
    std::fputc('\n', out_);
    barShown_ = false;
  }
  if (!quiet_) std::fprintf(out_, "%s\n", ShownText(summary).c_str());
  std::fflush(out_);
}

void BatchProgress::ClearBar() {
  if (barShown_) std::fputs("\r\033[K", out_);
}

void BatchProgress::DrawBar() {
  // A map that has not yet said how many steps it will take counts as one mission's worth
  // (every map has at least one); a map that has ended counts the steps it took, so the bar
  // is full exactly when the last map ends.
  std::size_t done = 0, total = 0, ended = 0;
  for (const MapState& m : maps_) {
    done += m.done;
    if (m.ended) {
      total += m.done;
      ++ended;
    } else {
      total += std::max(m.done, m.planned.value_or(ReportedLabelCount(1)));
    }
  }
  const std::size_t filled = total == 0 ? 0 : kBarWidth * std::min(done, total) / total;
  std::string bar(filled, '#');
  bar.resize(kBarWidth, '.');
  std::fprintf(out_, "\r\033[K[%s] %zu/%zu  %zu/%zu maps  %s: %s", bar.c_str(), done, total, ended, maps_.size(),
               ShownText(names_[lastMap_]).c_str(), ShownText(lastLabel_).c_str());
  std::fflush(out_);
  barShown_ = true;
}

}  // namespace kartwerk::app

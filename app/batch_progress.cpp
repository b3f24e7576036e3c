#include "app/batch_progress.hpp"

#include <algorithm>

#include "app/console_progress.hpp"
#include "app/terminal_output.hpp"
#include "core/shown_text.hpp"
#include "platform/path_text.hpp"

#include "pipeline/conversion_steps.hpp"
#include "pipeline/slot_commit.hpp"

namespace kartwerk::app {

BatchProgress::BatchProgress(std::ostream& out, bool bar, bool quiet, std::vector<std::string> names,
                             std::vector<std::string> files, std::filesystem::path outFolder)
    : out_(out),
      bar_(bar),
      quiet_(quiet),
      names_(std::move(names)),
      files_(std::move(files)),
      outFolder_(std::move(outFolder)),
      maps_(names_.size()) {
  for (std::string& file : files_) file = core::ShownText(file);
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
    out_ << "[" << map + 1 << "/" << maps_.size() << "] " << core::ShownText(names_[map]) << ": "
         << core::ShownText(label) << "\n"
         << std::flush;
    return;
  }
  lastMap_ = map;
  lastLabel_ = label;
  DrawBar();
}

void BatchProgress::Warn(std::size_t map, const std::string& message) {
  std::lock_guard lock(mutex_);
  ClearBar();
  out_ << "kartwerk: warning: " << (map < files_.size() ? files_[map] : std::string()) << ": "
       << core::ShownText(message) << "\n";
  if (barShown_) DrawBar();
  out_.flush();
}

void BatchProgress::Ended(std::size_t map, const pipeline::ConversionEnd& end) {
  std::lock_guard lock(mutex_);
  if (map >= maps_.size()) return;
  maps_[map].ended = true;
  if (end.error) {
    ClearBar();
    out_ << "kartwerk: " << files_[map] << ": " << core::ShownText(end.FailureText()) << "\n";
  } else if (!end.previousContent.empty()) {
    ClearBar();
    const std::string text =
        pipeline::PreviousContentText(outFolder_ / platform::PathFromText(names_[map]), end.previousContent);
    out_ << "kartwerk: " << files_[map] << ": " << core::ShownText(text) << "\n";
  }
  if (barShown_) DrawBar();
  out_.flush();
}

void BatchProgress::Finish(const std::string& summary) {
  std::lock_guard lock(mutex_);
  if (barShown_) {
    out_ << "\n";
    barShown_ = false;
  }
  if (!quiet_) out_ << core::ShownText(summary) << "\n";
  out_.flush();
}

void BatchProgress::ClearBar() {
  if (barShown_) WriteTerminalControl(out_, "\r\033[K");
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
      total += std::max(m.done, m.planned.value_or(pipeline::ReportedLabelCount(1)));
    }
  }
  const std::size_t filled = total == 0 ? 0 : kBarWidth * std::min(done, total) / total;
  std::string bar(filled, '#');
  bar.resize(kBarWidth, '.');
  WriteTerminalControl(out_, "\r\033[K");
  out_ << "[" << bar << "] " << done << "/" << total << "  " << ended << "/" << maps_.size() << " maps  "
       << core::ShownText(names_[lastMap_]) << ": " << core::ShownText(lastLabel_) << std::flush;
  barShown_ = true;
}

}  // namespace kartwerk::app

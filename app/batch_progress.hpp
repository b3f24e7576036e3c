// Progress of a batch of conversions on standard error, from one place: several maps convert at
// once, and every line is written whole under one lock so that their lines never mix. Without a
// terminal each step is a line "[3/8] frontier: Rhombs" (the map's place in the batch, its name,
// the label); on a terminal one bar counts the steps done against the steps planned across all
// maps. Warnings and failures name the map's file and get lines of their own in both forms.
#pragma once

#include <cstddef>
#include <filesystem>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "pipeline/conversion_worker.hpp"

namespace kartwerk::app {

class BatchProgress {
 public:
  // names: each map's name as shown with its steps, and its folder under outFolder; files: each
  // map's file as listed. bar: draw one bar (for a terminal); quiet: no step lines, no bar and
  // no summary.
  BatchProgress(std::ostream& out, bool bar, bool quiet, std::vector<std::string> names, std::vector<std::string> files,
                std::filesystem::path outFolder = {});

  void Planned(std::size_t map, std::size_t labels);
  void Step(std::size_t map, const std::string& label);
  void Warn(std::size_t map, const std::string& message);
  // A failed map gets its line here: the file, the step and the error; a map that replaced
  // its folder's earlier content says where that went.
  void Ended(std::size_t map, const pipeline::ConversionEnd& end);
  // Ends the bar's line and shows the summary.
  void Finish(const std::string& summary);

 private:
  struct MapState {
    std::optional<std::size_t> planned;
    std::size_t done = 0;
    bool ended = false;
  };

  void ClearBar();
  void DrawBar();

  std::ostream& out_;
  bool bar_;
  bool quiet_;
  std::vector<std::string> names_;
  std::vector<std::string> files_;
  std::filesystem::path outFolder_;
  std::mutex mutex_;
  std::vector<MapState> maps_;
  std::size_t lastMap_ = 0;
  std::string lastLabel_;
  bool barShown_ = false;
};

}  // namespace kartwerk::app

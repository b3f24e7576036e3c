// kartwerk convert MAP... --out DIR with several maps: each converts into DIR/<map name>/,
// several at a time, with one progress display and a summary at the end.
#pragma once

#include <string>
#include <vector>

#include "format/game_version.hpp"

namespace kartwerk::app {

struct BatchConvertSettings {
  std::vector<std::string> maps;
  std::string out;
  unsigned jobs = 0;  // 0: one per processor core
  format::GameVersionKind gameVersionKind = format::GameVersionKind::CurrentKeywords;
  std::string cliffData;  // empty: the program's own "cliffdata"
  bool quiet = false;
};

// Returns the exit status: 0 when every map converted, 1 when any failed, 2 when two different
// maps would share a folder (then nothing is converted).
int ConvertBatch(const BatchConvertSettings& settings);

}  // namespace kartwerk::app

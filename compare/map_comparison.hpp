// Comparing a compiled map with a folder: the map is converted in memory, file by file, and each
// file compared with the folder's as it is made. Nothing is written anywhere.
#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "compare/file_comparison.hpp"
#include "format/game_version.hpp"

namespace kartwerk::compare {

struct CompareRequest {
  std::filesystem::path mapPath;  // the compiled map (.qdm, .qdp, .qdc)
  std::filesystem::path folder;   // a slot folder, an --out folder or a backup of one; only read
  format::GameVersionKind gameVersionKind = format::GameVersionKind::CurrentKeywords;  // as for a conversion
  std::filesystem::path cliffDataFile;           // empty: the program's own "cliffdata"
  bool lines = false;                            // also make the unified line diff of each changed text file
  std::function<void(const std::string&)> warn;  // repaired input in the map
};

// The map could not be converted; the message is a conversion's ("staging the map failed: ...").
class MapComparisonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws MapComparisonError when the map cannot be converted. A folder's file that is missing,
// cut short or unreadable is reported in the result, never thrown.
FolderComparison CompareMapWithFolder(const CompareRequest& request);

}  // namespace kartwerk::compare

// Converting one compiled map into one editor slot folder, start to end: the cliff masks,
// staging (the main container inflated into memory), the slot's "desc" and "info", and the
// worker's steps. The command line calls RunConversion; a window can
// call the same pieces (PrepareMap, the slot's "desc" and "info" writers, then TProcessThread)
// at its own moments.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>

#include "core/conversion.hpp"
#include "pipeline/process_thread.hpp"

namespace kartwerk {

struct ConvertRequest {
  std::filesystem::path MapPath;        // the compiled map (.qdm, .qdp, .qdc; a campaign's main or mission file)
  std::filesystem::path SlotFolder;     // the editor slot folder; replaced whole once every step has succeeded
  std::filesystem::path BackupFolder;   // where the slot's previous content is kept; empty: DefaultBackupFolder()
  bool OnlyReplaceMaps = false;         // an --out folder: refuse one that holds what is not a map
  GameVersionKindCode GameVersionKind = CurrentKeywords;
  std::filesystem::path CliffDataFile;  // empty: the program's own "cliffdata"
  std::function<void(std::size_t labels)> Planned;  // how many labels the steps will report, before the first
  ProgressHandler Progress;                         // each step's label, on the worker thread
  std::function<void(const std::string&)> Warn;     // repaired input, on the thread that meets it
  std::stop_token Stop;                             // a stop requested here ends the run at the next step boundary
  unsigned MissionJobs = 0;                         // a campaign's missions at once (0: one per processor core)
};

// Sets MapKind from the map's extension, stages the map and loads the main container's section
// directory.
void PrepareMap(Conversion& conversion, const std::filesystem::path& mapPath);

// The whole conversion, blocking until the worker has ended. It writes into a private folder
// beside the slot folder, which takes the slot folder's place only when every step has
// succeeded (SlotCommit); the result then names where the previous content was kept. Never
// throws for a failure of the work itself: the result says which step (or which preparation:
// loading cliffdata, staging the map, preparing the slot folder, writing the slot's desc or
// info, replacing the slot folder) failed and why, and the slot folder is left as it was.
ConversionEnd RunConversion(const ConvertRequest& request);

}  // namespace kartwerk

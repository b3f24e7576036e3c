// Converting several compiled maps in one run: each into a folder of its own under one output
// folder, several at once on a pool of threads. Every map gets its own RunConversion (its own
// Conversion, temporary folder and worker), so the maps share nothing but the output folder,
// and a failing map never stops the others.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "format/game_version.hpp"
#include "pipeline/conversion_worker.hpp"

namespace kartwerk::pipeline {

// One conversion of a batch.
struct BatchMap {
  std::filesystem::path mapPath;              // the file handed to the conversion: the first one listed for this map
  std::string folderName;                     // its folder under the output folder
  std::vector<std::filesystem::path> listed;  // every listed file that names this map, in list order
};

// Two different maps that would be converted into one folder.
struct BatchNameClash {
  std::filesystem::path first;
  std::filesystem::path second;
  std::string folderName;  // the first one's
};

// A map whose name names no folder of its own ("...qdm" would name DIR/..).
struct BatchUnnamable {
  std::filesystem::path mapPath;
  std::string reason;
};

struct BatchPlan {
  std::vector<BatchMap> maps;  // in the order their first file was listed
  std::vector<BatchNameClash> clashes;
  std::vector<BatchUnnamable> unnamable;
};

// The folder a map converts into: its file name without the extension. A campaign is named by
// the three characters that name it, since its main file and each of its mission files all
// convert the same whole campaign.
std::string BatchFolderName(const std::filesystem::path& mapPath);

// Names every listed map. Files that name the same map (one file listed twice, or several files
// of one campaign in one folder) become one conversion. Different maps whose folder names are
// equal without regard to case (as the game's file system compares them) are reported in
// clashes; they must not be converted, or one would overwrite the other's files.
BatchPlan PlanBatch(const std::vector<std::filesystem::path>& maps);

// How many maps convert at once: requested, or the number of processor cores when requested is
// 0; at least 1 and never more than there are maps.
unsigned BatchWorkerCount(unsigned requested, std::size_t maps);

struct BatchRequest {
  std::vector<BatchMap> maps;
  std::filesystem::path outFolder;  // each map goes into outFolder / folderName
  unsigned jobs = 0;                // maps converted at once; 0: one per processor core
  format::GameVersionKind gameVersionKind = format::GameVersionKind::CurrentKeywords;
  std::filesystem::path cliffDataFile;  // empty: the program's own "cliffdata"
  // The handlers get the map's index in maps. They run on the converting threads, for
  // different maps at the same time, so they must be safe to call concurrently.
  std::function<void(std::size_t map, std::size_t labels)> planned;
  std::function<void(std::size_t map, const std::string& label)> progress;
  std::function<void(std::size_t map, const std::string& message)> warn;
  std::function<void(std::size_t map, const ConversionEnd& end)> ended;  // once per map, at its end
  std::stop_token stop;  // maps not yet begun end as stopped; running ones stop at their next step boundary
};

// Converts every map, jobs at a time, and returns how each ended, in maps order. A map that is
// not a regular file fails without a conversion being started. An exception thrown by a
// handler is rethrown here once every thread has ended.
std::vector<ConversionEnd> RunBatchConversion(const BatchRequest& request);

// One line for the end of a batch: "8 maps: 7 converted, 1 failed (x.qdm)", naming each failed
// map by its path as listed; stopped maps are counted too.
std::string BatchSummary(const std::vector<BatchMap>& maps, const std::vector<ConversionEnd>& ends);

}  // namespace kartwerk::pipeline

#include "app/batch_convert.hpp"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "app/batch_progress.hpp"
#include "core/shown_text.hpp"
#include "pipeline/batch_conversion.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::app {

int ConvertBatch(const BatchConvertSettings& settings) {
  std::vector<std::filesystem::path> listed;
  for (const std::string& map : settings.maps) listed.push_back(platform::PathFromText(map));
  const pipeline::BatchPlan plan = pipeline::PlanBatch(listed);
  const std::filesystem::path out = platform::PathFromText(settings.out);

  // Two maps in one folder would overwrite each other's files, and renaming one of them would
  // make where a map lands depend on what else was listed. So the batch is refused before
  // anything is written; each clashing map can be converted on its own into a folder of choice.
  for (const pipeline::BatchUnnamable& map : plan.unnamable) {
    std::cerr << "kartwerk: " << core::ShownText(platform::TextFromPath(map.mapPath))
              << " cannot be converted into a folder of its own: " << core::ShownText(map.reason) << "\n";
  }
  if (!plan.unnamable.empty() && plan.clashes.empty()) {
    std::cerr << "kartwerk: nothing was converted; rename it, or convert it on its own with its own --out\n";
    return 2;
  }
  if (!plan.clashes.empty()) {
    for (const pipeline::BatchNameClash& clash : plan.clashes) {
      std::cerr << "kartwerk: " << core::ShownText(platform::TextFromPath(clash.first)) << " and "
                << core::ShownText(platform::TextFromPath(clash.second)) << " would both be converted into "
                << core::ShownText(platform::TextFromPath(out / platform::PathFromText(clash.folderName))) << "\n";
    }
    std::cerr << "kartwerk: nothing was converted; convert one of them on its own with its own --out\n";
    return 2;
  }

  std::vector<std::string> names, files;
  for (const pipeline::BatchMap& map : plan.maps) {
    names.push_back(map.folderName);
    files.push_back(platform::TextFromPath(map.mapPath));
  }
  BatchProgress progress(std::cerr, ::isatty(STDERR_FILENO) == 1, settings.quiet, names, files, out);

  pipeline::BatchRequest request;
  request.maps = plan.maps;
  request.outFolder = out;
  request.jobs = settings.jobs;
  request.gameVersionKind = settings.gameVersionKind;
  request.cliffDataFile = platform::PathFromText(settings.cliffData);
  request.planned = [&progress](std::size_t map, std::size_t labels) { progress.Planned(map, labels); };
  request.progress = [&progress](std::size_t map, const std::string& label) { progress.Step(map, label); };
  request.warn = [&progress](std::size_t map, const std::string& message) { progress.Warn(map, message); };
  request.ended = [&progress](std::size_t map, const pipeline::ConversionEnd& end) { progress.Ended(map, end); };

  const std::vector<pipeline::ConversionEnd> ends = pipeline::RunBatchConversion(request);
  progress.Finish(pipeline::BatchSummary(plan.maps, ends));
  const bool allConverted =
      std::all_of(ends.begin(), ends.end(), [](const pipeline::ConversionEnd& e) { return e.Completed(); });
  return allConverted ? 0 : 1;
}

}  // namespace kartwerk::app

#include "pipeline/batch_conversion.hpp"

#include <algorithm>
#include <atomic>
#include <exception>
#include <map>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "core/text.hpp"
#include "format/map_file_check.hpp"
#include "format/map_kind.hpp"
#include "pipeline/run_conversion.hpp"
#include "pipeline/target_check.hpp"
#include "pipeline/write_gate.hpp"
#include "platform/folder_name_key.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::pipeline {
namespace {

bool IsCampaign(const std::filesystem::path& mapPath) {
  return format::MapKindFromExtension(platform::TextFromPath(mapPath.extension())) == format::CampaignMap;
}

// The path with links and "." / ".." resolved as far as it exists, so that two spellings of one
// file compare equal.
std::filesystem::path Canonical(const std::filesystem::path& path) { return platform::ResolvedPath(path); }

// What the conversion actually converts. A single-player or multiplayer map is its file; a
// campaign is its main file, found (as staging finds it) from the folder, the first three
// characters of the listed name and its extension, whatever the case.
std::string MapIdentity(const std::filesystem::path& mapPath) {
  if (!IsCampaign(mapPath)) return platform::TextFromPath(Canonical(mapPath));
  const std::string name = platform::TextFromPath(mapPath.filename());
  const std::filesystem::path folder = Canonical(mapPath).parent_path();
  return platform::TextFromPath(folder / platform::PathFromText(core::AsciiLower(
                                             name.substr(0, 3) + platform::TextFromPath(mapPath.extension()))));
}

ConversionEnd Failure(std::exception_ptr error, const char* what) {
  ConversionEnd end;
  end.error = std::move(error);
  end.failedStep = what;
  return end;
}

ConversionEnd ConvertOne(const BatchRequest& batch, std::size_t index) {
  if (batch.Stop.stop_requested()) {
    ConversionEnd end;
    end.stopped = true;
    return end;
  }
  const BatchMap& map = batch.Maps[index];
  if (const auto problem = format::MapFileProblem(map.MapPath)) {
    return Failure(std::make_exception_ptr(std::runtime_error(*problem)), "opening the map");
  }
  ConvertRequest request;
  request.MapPath = map.MapPath;
  request.SlotFolder = batch.OutFolder / platform::PathFromText(map.FolderName);
  request.OnlyReplaceMaps = true;
  request.GameVersionKind = batch.GameVersionKind;
  request.CliffDataFile = batch.CliffDataFile;
  if (batch.Planned) request.Planned = [&batch, index](std::size_t labels) { batch.Planned(index, labels); };
  if (batch.Progress) request.Progress = [&batch, index](const std::string& label) { batch.Progress(index, label); };
  if (batch.Warn) request.Warn = [&batch, index](const std::string& message) { batch.Warn(index, message); };
  request.Stop = batch.Stop;
  // Maps side by side take the cores; a batch of one map gives them to its missions.
  request.MissionJobs = BatchWorkerCount(batch.Jobs, batch.Maps.size()) > 1 ? 1 : batch.Jobs;
  return RunConversion(request);
}

}  // namespace

std::string BatchFolderName(const std::filesystem::path& mapPath) {
  const std::string stem = platform::TextFromPath(mapPath.stem());
  return IsCampaign(mapPath) ? stem.substr(0, 3) : stem;
}

BatchPlan PlanBatch(const std::vector<std::filesystem::path>& maps) {
  BatchPlan plan;
  std::map<std::string, std::size_t> byIdentity;  // identity -> index in plan.Maps
  std::map<std::string, std::size_t> byFolder;    // folder name as the system compares it -> index in plan.Maps
  for (const std::filesystem::path& path : maps) {
    const auto [known, isNew] = byIdentity.emplace(MapIdentity(path), plan.Maps.size());
    if (!isNew) {
      plan.Maps[known->second].Listed.push_back(path);
      continue;
    }
    BatchMap map{path, BatchFolderName(path), {path}};
    const std::string unnamable = FolderNameProblem(map.FolderName);
    if (!unnamable.empty() || platform::FolderNameKey(map.FolderName).empty()) {
      plan.Unnamable.push_back({path, unnamable.empty() ? "its name names no folder" : unnamable});
    }
    const auto [holder, folderFree] = byFolder.emplace(platform::FolderNameKey(map.FolderName), plan.Maps.size());
    if (!folderFree) {
      const BatchMap& first = plan.Maps[holder->second];
      plan.Clashes.push_back({first.MapPath, path, first.FolderName});
    }
    plan.Maps.push_back(std::move(map));
  }
  return plan;
}

unsigned BatchWorkerCount(unsigned requested, std::size_t maps) {
  unsigned workers = requested != 0 ? requested : std::thread::hardware_concurrency();
  if (workers == 0) workers = 1;  // the core count is unknown
  if (maps < workers) workers = static_cast<unsigned>(std::max<std::size_t>(maps, 1));
  return workers;
}

std::vector<ConversionEnd> RunBatchConversion(const BatchRequest& batch) {
  std::vector<ConversionEnd> ends(batch.Maps.size());
  // The folder that receives the maps' folders passes the write gate first (a link, the home
  // folder, the map's own folder, the backups): refused, no map is converted.
  WriteGate gate{{}, {}, "convert into"};
  for (const BatchMap& map : batch.Maps) gate.inputs.push_back(map.MapPath);
  if (const std::string problem = FolderWriteProblem(batch.OutFolder, gate, FolderUse::Parent); !problem.empty()) {
    for (std::size_t i = 0; i < ends.size(); ++i) {
      ends[i] = Failure(std::make_exception_ptr(std::runtime_error(problem)), "checking the output folder");
      if (batch.Ended) batch.Ended(i, ends[i]);
    }
    return ends;
  }
  std::atomic<std::size_t> next{0};
  std::mutex handlerErrorMutex;
  std::exception_ptr handlerError;

  // Each worker takes the next map not yet begun until none is left, so a long campaign
  // never holds up maps that a free worker could convert.
  auto work = [&] {
    for (std::size_t i = next++; i < batch.Maps.size(); i = next++) {
      try {
        ends[i] = ConvertOne(batch, i);
      } catch (...) {
        // RunConversion reports the work's own failures in its result; whatever else escapes
        // (memory exhausted, say) still ends only this map.
        ends[i] = Failure(std::current_exception(), "converting the map");
      }
      try {
        if (batch.Ended) batch.Ended(i, ends[i]);
      } catch (...) {
        std::lock_guard lock(handlerErrorMutex);
        if (!handlerError) handlerError = std::current_exception();
      }
    }
  };

  // The calling thread is one of the workers; with one job nothing else is started.
  std::vector<std::thread> pool;
  const unsigned workers = BatchWorkerCount(batch.Jobs, batch.Maps.size());
  try {
    for (unsigned w = 1; w < workers; ++w) pool.emplace_back(work);
  } catch (const std::system_error&) {
    // No more threads to be had: the ones already running (and this one) share the maps.
  }
  work();
  for (std::thread& t : pool) t.join();
  if (handlerError) std::rethrow_exception(handlerError);
  return ends;
}

std::string BatchSummary(const std::vector<BatchMap>& maps, const std::vector<ConversionEnd>& ends) {
  std::size_t converted = 0, stopped = 0;
  std::vector<std::string> failed;
  for (std::size_t i = 0; i < ends.size() && i < maps.size(); ++i) {
    if (ends[i].Completed()) {
      ++converted;
    } else if (ends[i].error) {
      failed.push_back(platform::TextFromPath(maps[i].MapPath));
    } else {
      ++stopped;
    }
  }
  std::string line = std::to_string(maps.size()) + (maps.size() == 1 ? " map: " : " maps: ") +
                     std::to_string(converted) + " converted";
  if (!failed.empty()) {
    line += ", " + std::to_string(failed.size()) + " failed (";
    for (std::size_t i = 0; i < failed.size(); ++i) line += (i == 0 ? "" : ", ") + failed[i];
    line += ")";
  }
  if (stopped != 0) line += ", " + std::to_string(stopped) + " stopped";
  return line;
}

}  // namespace kartwerk::pipeline

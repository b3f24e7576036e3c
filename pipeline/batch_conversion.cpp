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
  if (batch.stop.stop_requested()) {
    ConversionEnd end;
    end.stopped = true;
    return end;
  }
  const BatchMap& map = batch.maps[index];
  if (const auto problem = format::MapFileProblem(map.mapPath)) {
    return Failure(std::make_exception_ptr(std::runtime_error(*problem)), "opening the map");
  }
  ConvertRequest request;
  request.mapPath = map.mapPath;
  request.slotFolder = batch.outFolder / platform::PathFromText(map.folderName);
  request.onlyReplaceMaps = true;
  request.gameVersionKind = batch.gameVersionKind;
  request.cliffDataFile = batch.cliffDataFile;
  if (batch.planned) request.planned = [&batch, index](std::size_t labels) { batch.planned(index, labels); };
  if (batch.progress) request.progress = [&batch, index](const std::string& label) { batch.progress(index, label); };
  if (batch.warn) request.warn = [&batch, index](const std::string& message) { batch.warn(index, message); };
  request.stop = batch.stop;
  // Maps side by side take the cores; a batch of one map gives them to its missions.
  request.missionJobs = BatchWorkerCount(batch.jobs, batch.maps.size()) > 1 ? 1 : batch.jobs;
  return RunConversion(request);
}

}  // namespace

std::string BatchFolderName(const std::filesystem::path& mapPath) {
  const std::string stem = platform::TextFromPath(mapPath.stem());
  return IsCampaign(mapPath) ? stem.substr(0, 3) : stem;
}

BatchPlan PlanBatch(const std::vector<std::filesystem::path>& maps) {
  BatchPlan plan;
  std::map<std::string, std::size_t> byIdentity;  // identity -> index in plan.maps
  std::map<std::string, std::size_t> byFolder;    // folder name as the system compares it -> index in plan.maps
  for (const std::filesystem::path& path : maps) {
    const auto [known, isNew] = byIdentity.emplace(MapIdentity(path), plan.maps.size());
    if (!isNew) {
      plan.maps[known->second].listed.push_back(path);
      continue;
    }
    BatchMap map{path, BatchFolderName(path), {path}};
    const std::string unnamable = FolderNameProblem(map.folderName);
    if (!unnamable.empty() || platform::FolderNameKey(map.folderName).empty()) {
      plan.unnamable.push_back({path, unnamable.empty() ? "its name names no folder" : unnamable});
    }
    const auto [holder, folderFree] = byFolder.emplace(platform::FolderNameKey(map.folderName), plan.maps.size());
    if (!folderFree) {
      const BatchMap& first = plan.maps[holder->second];
      plan.clashes.push_back({first.mapPath, path, first.folderName});
    }
    plan.maps.push_back(std::move(map));
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
  std::vector<ConversionEnd> ends(batch.maps.size());
  // The folder that receives the maps' folders passes the write gate first (a link, the home
  // folder, the map's own folder, the backups): refused, no map is converted.
  WriteGate gate{{}, {}, "convert into"};
  for (const BatchMap& map : batch.maps) gate.inputs.push_back(map.mapPath);
  if (const std::string problem = FolderWriteProblem(batch.outFolder, gate, FolderUse::Parent); !problem.empty()) {
    for (std::size_t i = 0; i < ends.size(); ++i) {
      ends[i] = Failure(std::make_exception_ptr(std::runtime_error(problem)), "checking the output folder");
      if (batch.ended) batch.ended(i, ends[i]);
    }
    return ends;
  }
  std::atomic<std::size_t> next{0};
  std::mutex handlerErrorMutex;
  std::exception_ptr handlerError;

  // Each worker takes the next map not yet begun until none is left, so a long campaign
  // never holds up maps that a free worker could convert.
  auto work = [&] {
    for (std::size_t i = next++; i < batch.maps.size(); i = next++) {
      try {
        ends[i] = ConvertOne(batch, i);
      } catch (...) {
        // RunConversion reports the work's own failures in its result; whatever else escapes
        // (memory exhausted, say) still ends only this map.
        ends[i] = Failure(std::current_exception(), "converting the map");
      }
      try {
        if (batch.ended) batch.ended(i, ends[i]);
      } catch (...) {
        std::lock_guard lock(handlerErrorMutex);
        if (!handlerError) handlerError = std::current_exception();
      }
    }
  };

  // The calling thread is one of the workers; with one job nothing else is started.
  std::vector<std::thread> pool;
  const unsigned workers = BatchWorkerCount(batch.jobs, batch.maps.size());
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
      failed.push_back(platform::TextFromPath(maps[i].mapPath));
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

#include "pipeline/run_conversion.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

#include "convert/records/cliff_data.hpp"
#include "convert/writers/map_header_files.hpp"
#include "format/conversion_size.hpp"
#include "format/staging.hpp"
#include "pipeline/conversion_steps.hpp"
#include "pipeline/out_folder_rule.hpp"
#include "pipeline/slot_commit.hpp"
#include "pipeline/target_check.hpp"
#include "pipeline/write_gate.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::pipeline {
namespace {

// Refuses a conversion that would write more than a real campaign or the target's free space,
// and holds the missions still to be read to what is left of that. A sink that writes nothing to
// disk is held to the ceiling alone.
void LimitConversionSize(format::Conversion& c, const std::filesystem::path& target) {
  const std::uint64_t available =
      target.empty() ? std::numeric_limits<std::uint64_t>::max() : AvailableBytesFor(target);
  const std::string problem = format::ConversionSizeProblem(format::PlannedConversionBytes(c), available);
  if (!problem.empty()) throw std::runtime_error(problem);
  const std::size_t missions = c.MapKind == format::CampaignMap ? c.MissionFiles.size() : 1;
  c.InflatedBudget = std::min(format::kMaxConversionBytes, available) - missions * format::kMissionGridFilesBytes;
}

std::filesystem::path BackupFolderOf(const ConvertRequest& request) {
  return request.backupFolder.empty() ? DefaultBackupFolder() : request.backupFolder;
}

// What the conversion's writes keep clear of: the map it reads, and the backups.
WriteGate GateOf(const ConvertRequest& request) {
  return WriteGate{{request.mapPath}, BackupFolderOf(request), "convert into"};
}

}  // namespace

void PrepareMap(format::Conversion& c, const std::filesystem::path& mapPath) {
  c.MapKind = format::MapKindFromExtension(platform::TextFromPath(mapPath.extension()));
  format::StageMapFile(c, mapPath);
}

MapConversion::MapConversion(ConvertRequest request) : request_(std::move(request)) {
  c_.Warn = request_.warn;
  c_.GameVersionKind = request_.gameVersionKind;
  end_.intoOutFolder = request_.onlyReplaceMaps;
}

MapConversion::~MapConversion() {
  forwardStop_.reset();  // waits for a stop being forwarded: it must not find the worker gone
  RequestStop();
  worker_.reset();
  if (opened_ && !started_ && !settled_) {
    // Opened but never started: what the sink holds is dropped as at a stop.
    end_.stopped = true;
    settled_ = true;
    sink_->Finish(end_);
  }
}

// Runs one preparation; its failure is recorded under the given name and the sink settled.
template <class Body>
bool MapConversion::Prepare(const char* what, Body&& body) {
  if (failed_) return false;
  try {
    body();
    return true;
  } catch (...) {
    failed_ = true;
    end_.error = std::current_exception();
    end_.failedStep = what;
    if (sink_ && !settled_) {
      settled_ = true;
      sink_->Finish(end_);
    }
    return false;
  }
}

bool MapConversion::CheckTarget(ConversionSink& sink) {
  if (sink_ == &sink) return !failed_;  // checked once per sink
  sink_ = &sink;
  const std::filesystem::path target = sink.Target();
  if (target.empty()) return !failed_;
  return Prepare("checking the slot folder",
                 [&] {
                   const std::string problem = FolderWriteProblem(target, GateOf(request_), FolderUse::Replace);
                   if (!problem.empty()) throw std::runtime_error(problem);
                 }) &&
         (!request_.onlyReplaceMaps || Prepare("checking the output folder", [&] {
           if (const auto refusal = OutFolderRefusal(TargetPath(target), BackupStore(BackupFolderOf(request_)))) {
             throw SlotFolderError(*refusal);
           }
         }));
}

bool MapConversion::Stage() {
  if (staged_) return !failed_;
  staged_ = true;
  if (request_.cliffData) {
    c_.CliffDataBuffer = request_.cliffData;
  } else {
    const std::filesystem::path cliffData =
        request_.cliffDataFile.empty() ? records::DefaultCliffDataPath() : request_.cliffDataFile;
    if (!Prepare("loading cliffdata", [&] { c_.CliffDataBuffer = records::LoadCliffData(cliffData); })) return false;
  }
  return Prepare("staging the map", [&] { PrepareMap(c_, platform::FullPath(request_.mapPath)); });
}

std::size_t MapConversion::PlannedLabels() const {
  return ReportedLabelCount(c_.MapKind == format::CampaignMap ? c_.MissionList.size() : 1);
}

bool MapConversion::Open(ConversionSink& sink) {
  if (opened_ || !CheckTarget(sink) || !Stage()) return false;
  if (!Prepare("checking the size", [&] { LimitConversionSize(c_, sink.Target()); })) return false;
  opened_ = Prepare("preparing the slot folder", [&] { sink.Open(c_); });
  if (!opened_) return false;
  if (!Prepare("writing the slot's desc", [&] { writers::WriteMapDescFile(c_); }) ||
      !Prepare("writing the slot's info", [&] { writers::WriteMapInfoFile(c_); })) {
    return false;
  }
  if (request_.planned) request_.planned(PlannedLabels());
  return true;
}

void MapConversion::Start() {
  if (!opened_ || started_ || failed_) return;
  worker_ = std::make_unique<ConversionWorker>(c_);
  worker_->SetProgressHandler(request_.progress);
  worker_->SetMissionJobs(request_.missionJobs);
  // The sink settles the end on the worker, before anyone hears of it.
  worker_->SetEndHandler([this](const ConversionEnd& result) {
    const bool intoOutFolder = end_.intoOutFolder;
    end_ = result;
    end_.intoOutFolder = intoOutFolder;
    settled_ = true;
    sink_->Finish(end_);
    if (request_.ended) request_.ended(end_);
  });
  if (!Prepare("starting the conversion", [&] { worker_->Start(); })) return;
  started_ = true;
  // Registered once the worker runs, so a stop requested earlier still reaches it.
  forwardStop_ = std::make_unique<std::stop_callback<std::function<void()>>>(
      request_.stop, std::function<void()>([this] { worker_->RequestStop(); }));
}

void MapConversion::RequestStop() {
  if (worker_) worker_->RequestStop();
}

const ConversionEnd& MapConversion::Wait() {
  if (worker_) worker_->Wait();
  forwardStop_.reset();
  return end_;
}

ConversionEnd RunConversion(const ConvertRequest& request, ConversionSink& sink) {
  MapConversion run(request);
  if (run.CheckTarget(sink) && run.Stage() && run.Open(sink)) run.Start();
  return run.Wait();
}

ConversionEnd RunConversion(const ConvertRequest& request) {
  SlotFolderSink slot(request.slotFolder, BackupFolderOf(request), request.warn, GateOf(request));
  return RunConversion(request, slot);
}

}  // namespace kartwerk::pipeline

#include "pipeline/conversion_worker.hpp"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/errors.hpp"
#include "core/exception_text.hpp"
#include "format/staging.hpp"
#include "pipeline/batch_conversion.hpp"
#include "pipeline/conversion_steps.hpp"

namespace kartwerk::pipeline {
namespace {

// Preparations of a mission that are not steps of their own, named for failure reports.
constexpr const char* kLoadMissionStep = "loading the mission file";
constexpr const char* kMissionFolderStep = "creating the mission folder";

void Fail(ConversionEnd& end, std::string_view what, bool inStep, const std::string& mission) {
  end.error = std::current_exception();
  end.failedStep = std::string(what);
  end.failedInStep = inStep;
  end.failedMission = mission;
}

// Runs one labelled step, or records its failure in end. Returns whether the step succeeded.
template <class Body>
bool Attempt(ConversionEnd& end, std::string_view label, const std::string& mission, Body&& body) {
  try {
    body();
    return true;
  } catch (...) {
    Fail(end, label, true, mission);
    return false;
  }
}

// The same for the preparations of a mission that are no steps of their own.
template <class Body>
bool AttemptPreparation(ConversionEnd& end, std::string_view what, const std::string& mission, Body&& body) {
  try {
    body();
    return true;
  } catch (...) {
    Fail(end, what, false, mission);
    return false;
  }
}

void Report(const ProgressHandler& progress, std::string_view label) {
  if (progress) progress(std::string(label));
}

// The label goes out before the step runs; a handler that throws fails the step it announces.
void RunStep(format::Conversion& c, const ProgressHandler& progress, const ConversionStep& step) {
  Report(progress, step.label);
  step.run(c);
}

// A campaign mission's folder is "mis." and the 4th to 6th characters of its file's name.
std::string CampaignMissionName(const std::string& entry) {
  return "mis." + (entry.size() > 3 ? entry.substr(3, 3) : std::string());
}

// Missions that share a folder replace each other's files in list order: they run one by one.
bool MissionFoldersDistinct(const std::vector<std::string>& missionList) {
  std::set<std::string> folders;
  for (const std::string& entry : missionList) {
    if (!folders.insert(CampaignMissionName(entry)).second) return false;
  }
  return true;
}

// The mission's folder, then its fourteen steps; false (with end saying why) when one failed or
// shouldStop said so between two steps (never after the last).
template <class ShouldStop>
bool RunMissionSteps(format::Conversion& c, const ProgressHandler& progress, ShouldStop&& shouldStop,
                     ConversionEnd& end) {
  if (!AttemptPreparation(end, kMissionFolderStep, c.MissionName, [&] {
        // Files that go to a receiver need no folder on disk.
        if (!c.Output) std::filesystem::create_directories(c.MissionFolder());
      })) {
    return false;
  }
  const auto& steps = MissionSteps();
  for (std::size_t s = 0; s < steps.size(); ++s) {
    if (!Attempt(end, steps[s].label, c.MissionName, [&] { RunStep(c, progress, steps[s]); })) return false;
    // The last step of a mission is not followed by a test: the next mission's first is.
    if (s + 1 < steps.size() && shouldStop()) {
      end.stopped = true;
      return false;
    }
  }
  return true;
}

// The map's own steps on this thread's conversion, then the label that opens the missions; false
// (with end saying why) when a step failed or shouldStop said so between two of them.
template <class ShouldStop>
bool RunMapSteps(format::Conversion& c, const ProgressHandler& progress, ShouldStop&& shouldStop, ConversionEnd& end) {
  for (const ConversionStep& step : MapSteps()) {
    if (!Attempt(end, step.label, {}, [&] { RunStep(c, progress, step); })) return false;
    if (shouldStop()) {
      end.stopped = true;
      return false;
    }
  }
  return Attempt(end, kMissionsStartLabel, {}, [&] { Report(progress, kMissionsStartLabel); });
}

// A campaign on several threads: the map's own steps (task 0, on c itself) beside its missions
// (task i + 1 for mission i), each mission on a worker's own copy of the conversion as staging
// left it (without the main container, which no mission reads). The mission files are inflated
// one at a time in list order (so the size budget counts them as the sequential run does) while
// the other workers run their steps. A failure stops only the tasks after it, so the failure
// reported is the one the sequential run would report; warnings are passed on in task order once
// all have ended, and progress labels one at a time.
ConversionEnd RunCampaignSideBySide(format::Conversion& c, const ProgressHandler& progress, std::stop_token stop,
                                    unsigned workers) {
  const std::size_t tasks = c.MissionList.size() + 1;
  std::vector<ConversionEnd> ends(tasks);
  std::vector<std::vector<std::string>> warnings(tasks);
  std::vector<char> completed(tasks, 0);
  std::mutex loadMutex;
  std::mutex progressMutex;
  std::size_t next = 0;                           // guarded by loadMutex
  std::uint64_t inflatedBytes = c.InflatedBytes;  // guarded by loadMutex
  std::atomic<std::size_t> firstFailed{tasks};
  const auto failed = [&](std::size_t i) {
    for (std::size_t seen = firstFailed; i < seen && !firstFailed.compare_exchange_weak(seen, i);) {
    }
  };
  const ProgressHandler report = [&](const std::string& label) {
    const std::lock_guard lock(progressMutex);
    if (progress) progress(label);
  };
  // What every mission starts from, taken before the map's steps change c.
  core::ByteStream mainContainer = std::move(c.MissionStream);
  c.MissionStream.Clear();
  const format::Conversion missionBase = c;
  c.MissionStream = std::move(mainContainer);
  const std::function<void(const std::string&)> warn = std::move(c.Warn);
  c.Warn = [&warnings](const std::string& message) { warnings[0].push_back(message); };

  const auto work = [&] {
    std::optional<format::Conversion> mine;
    for (;;) {
      std::size_t i = 0;
      {
        const std::lock_guard lock(loadMutex);
        if (next >= tasks || next > firstFailed || stop.stop_requested()) return;
        i = next++;
        if (i > 0) {
          const std::string& entry = c.MissionList[i - 1];
          try {
            if (!mine) mine.emplace(missionBase);
            mine->InflatedBytes = inflatedBytes;
            mine->MissionName = CampaignMissionName(entry);
            mine->Warn = [&warnings, i](const std::string& message) { warnings[i].push_back(message); };
            format::LoadMissionFile(*mine, i - 1);
            inflatedBytes = mine->InflatedBytes;
          } catch (...) {
            Fail(ends[i], kLoadMissionStep, false, CampaignMissionName(entry));
            failed(i);
            continue;
          }
        }
      }
      const auto abandon = [&] { return stop.stop_requested() || firstFailed < i; };
      const bool done =
          i == 0 ? RunMapSteps(c, report, abandon, ends[i]) : RunMissionSteps(*mine, report, abandon, ends[i]);
      if (done) {
        completed[i] = 1;
      } else if (ends[i].error) {
        failed(i);
      }
      if (i > 0) mine->MissionStream.Clear();
    }
  };
  std::vector<std::jthread> pool;
  try {
    for (unsigned w = 1; w < workers; ++w) pool.emplace_back(work);
  } catch (const std::system_error&) {
    // No more threads to be had: the ones running (and this one) share the tasks.
  }
  work();
  for (std::jthread& t : pool) t.join();

  c.Warn = warn;
  c.InflatedBytes = inflatedBytes;
  for (std::size_t i = 0; i < tasks && c.Warn; ++i) {
    for (const std::string& message : warnings[i]) c.Warn(message);
  }
  for (std::size_t i = 0; i < tasks; ++i) {
    if (ends[i].error) return ends[i];
  }
  ConversionEnd end;
  end.stopped = std::count(completed.begin(), completed.end(), 1) != static_cast<std::ptrdiff_t>(tasks);
  return end;
}

}  // namespace

unsigned MissionWorkerCount(unsigned missionJobs, std::size_t missions) {
  return BatchWorkerCount(missionJobs, missions);
}

std::string ConversionEnd::ErrorText() const { return core::ExceptionText(error); }

std::string ConversionEnd::FailureText() const {
  const std::string untouched = !slotLeftAsItWas ? ""
                                : intoOutFolder  ? "; the folder was left as it was"
                                                 : "; the slot was left as it was";
  if (!error) return stopped ? "the conversion was stopped" + untouched : std::string();
  std::string where = failedInStep ? "step \"" + failedStep + "\"" : failedStep;
  if (!failedMission.empty()) where += (failedInStep ? " of mission " : " for mission ") + failedMission;
  return where + " failed: " + ErrorText() + untouched;
}

ConversionEnd RunConversionSteps(format::Conversion& c, const ProgressHandler& progress, std::stop_token stop,
                                 unsigned missionJobs) {
  ConversionEnd end;
  const bool campaign = c.MapKind == format::CampaignMap;
  if (campaign && c.MissionList.size() > kMaxMissions) {
    // The mission number is 8 bits wide; rather than wrap round, refuse before writing anything.
    end.error =
        std::make_exception_ptr(std::runtime_error("A campaign can have at most " + std::to_string(kMaxMissions) +
                                                   " missions; this one has " + std::to_string(c.MissionList.size())));
    end.failedStep = "counting the missions";
    return end;
  }
  if (campaign && c.Warn) {
    // Two mission files that share their 4th to 6th characters share a mission folder: the
    // later one's files replace the earlier one's. The conversion goes on; the user is told.
    std::map<std::string, std::string> firstFile;
    for (const std::string& entry : c.MissionList) {
      const auto [known, fresh] = firstFile.emplace(CampaignMissionName(entry), entry);
      if (!fresh) {
        c.Warn(known->first + ": the mission files \"" + known->second + "\" and \"" + entry +
               "\" both go into this folder; the later one's files replace the earlier one's");
      }
    }
  }

  // A single-player or multiplayer map is its own only mission; a campaign has one per file.
  // (A campaign whose list is empty fails on its first entry, as an empty list always did.)
  const std::size_t missions = campaign ? std::max<std::size_t>(c.MissionList.size(), 1) : 1;
  // Files sent to a receiver arrive one by one in the order the conversion makes them.
  const bool sideBySide = campaign && !c.MissionList.empty() && !c.Output && MissionFoldersDistinct(c.MissionList);
  // The map's own steps are one more task beside the missions.
  const unsigned workers = sideBySide ? MissionWorkerCount(missionJobs, missions + 1) : 1;
  if (workers > 1) return RunCampaignSideBySide(c, progress, stop, workers);

  const auto stopRequested = [&] { return stop.stop_requested(); };
  if (!RunMapSteps(c, progress, stopRequested, end)) return end;
  for (std::size_t i = 0; i < missions; ++i) {
    if (campaign) {
      if (i >= c.MissionList.size()) {
        end.error = std::make_exception_ptr(core::ListIndexError(static_cast<long long>(i)));
        end.failedStep = kLoadMissionStep;
        return end;
      }
      c.MissionName = CampaignMissionName(c.MissionList[i]);
      if (!AttemptPreparation(end, kLoadMissionStep, c.MissionName, [&] { format::LoadMissionFile(c, i); })) {
        return end;
      }
    } else {
      c.MissionName = "mis.000";
    }
    if (!RunMissionSteps(c, progress, stopRequested, end)) return end;
  }
  return end;
}

ConversionWorker::ConversionWorker(format::Conversion& conversion) : conversion_(conversion) {}

ConversionWorker::~ConversionWorker() {
  RequestStop();
  Wait();
}

void ConversionWorker::SetProgressHandler(ProgressHandler handler) { progress_ = std::move(handler); }

void ConversionWorker::SetEndHandler(EndHandler handler) { end_ = std::move(handler); }

void ConversionWorker::SetMissionJobs(unsigned jobs) { missionJobs_ = jobs; }

void ConversionWorker::Start() {
  if (started_) throw std::logic_error("The conversion worker runs only once");
  started_ = true;
  thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

void ConversionWorker::RequestStop() { thread_.request_stop(); }

void ConversionWorker::Wait() {
  if (thread_.joinable()) thread_.join();
}

void ConversionWorker::Run(std::stop_token stop) {
  ConversionEnd end;
  try {
    end = RunConversionSteps(conversion_, progress_, stop, missionJobs_);
  } catch (...) {
    // Steps report their own failures; only running out of memory gets here.
    end.error = std::current_exception();
  }
  if (end_) {
    try {
      end_(end);
    } catch (...) {
      // Nothing on this thread could report it; the handler owns its own errors.
    }
  }
}

}  // namespace kartwerk::pipeline

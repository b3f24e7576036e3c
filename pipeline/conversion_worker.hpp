// ConversionWorker: the conversion worker. Once the slot folder, its "desc" and "info" and the
// main container are ready, it runs the map-level steps, then every mission's steps, into
// the slot folder, reporting each step's label before the step and honouring a stop request
// between steps. When its body has returned (at the end, at a stop, or because a step threw)
// it calls the end handler with what happened.
//
// Both handlers run on the worker thread; a window forwards them to its own thread (and so
// does conversion.Warn, which the steps call on the worker thread). The Conversion belongs to
// the worker from Start until the end handler has run: nobody else touches it in between.
#pragma once

#include <exception>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <thread>

#include "format/conversion.hpp"

namespace kartwerk::pipeline {

// How a conversion run ended.
struct ConversionEnd {
  bool stopped = false;                   // a stop request ended it between two steps
  std::exception_ptr error;               // what the failing step threw; null when none failed
  std::string failedStep;                 // the failing step's label, or what was being prepared ("loading cliffdata")
  bool failedInStep = false;              // whether failedStep is a step's label
  std::string failedMission;              // MissionName when a mission's step failed; empty for the map-level steps
  std::filesystem::path previousContent;  // where the slot folder's previous content was kept; empty when none
  bool intoOutFolder = false;             // the target is an --out folder: messages speak of "the folder"
  bool slotLeftAsItWas = false;           // a failure or stop that did not touch the slot folder

  bool Completed() const { return !stopped && !error; }
  // The failing step's error message ("" when nothing failed).
  std::string ErrorText() const;
  // One line for the user: which step of which mission failed, and why (and that the slot
  // folder was left as it was).
  std::string FailureText() const;
};

using ProgressHandler = std::function<void(const std::string& label)>;
using EndHandler = std::function<void(const ConversionEnd&)>;

// The worker's body, run on the calling thread: the map-level steps, "Groups", then the
// fourteen steps of each mission (a campaign's mission files are inflated one after another,
// in MissionList order, each when its mission starts). A stop requested through stop is honoured after any step
// but a mission's last. Step failures are caught and returned, never thrown.
// A campaign's missions run missionJobs at a time (0: one per processor core, never more than
// there are missions), each into its own folder, so the files are the same whatever the count;
// missions that share a folder run one by one. The failure reported is the first in list order.
ConversionEnd RunConversionSteps(format::Conversion& conversion, const ProgressHandler& progress, std::stop_token stop,
                                 unsigned missionJobs = 1);

// How many missions of missions run at once for missionJobs (the --jobs rule: 0 is one per core).
unsigned MissionWorkerCount(unsigned missionJobs, std::size_t missions);

class ConversionWorker {
 public:
  // Created idle; nothing runs before Start.
  explicit ConversionWorker(format::Conversion& conversion);
  // Requests a stop and waits for the body and the end handler to finish.
  ~ConversionWorker();
  ConversionWorker(const ConversionWorker&) = delete;
  ConversionWorker& operator=(const ConversionWorker&) = delete;

  // Set before Start; an empty handler means no reports.
  void SetProgressHandler(ProgressHandler handler);
  void SetEndHandler(EndHandler handler);
  // How many of a campaign's missions run at once (see RunConversionSteps); 1 unless set.
  void SetMissionJobs(unsigned jobs);

  // Starts the body once; a second call throws std::logic_error.
  void Start();
  // Asks the body to return at its next step boundary; returns at once.
  void RequestStop();
  // Blocks until the body and the end handler have finished (at once when never started).
  void Wait();
  bool Started() const { return started_; }

 private:
  void Run(std::stop_token stop);

  format::Conversion& conversion_;
  ProgressHandler progress_;
  EndHandler end_;
  unsigned missionJobs_ = 1;
  bool started_ = false;
  std::jthread thread_;  // last: joined before the handlers it calls are destroyed
};

}  // namespace kartwerk::pipeline

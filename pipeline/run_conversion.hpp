// Converting one compiled map into one sink, start to end: the target check, the cliff masks,
// staging (the main container inflated into memory), the size ceiling and free-space check, the
// sink made ready, the slot's "desc" and "info", the progress count, the worker's steps, the stop
// and the warnings. Every caller converts through here: the command line and batches block in
// RunConversion; a window drives a MapConversion through its phases at its own moments; a
// comparison hands in a sink that compares instead of writing.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "core/byte_stream.hpp"
#include "format/conversion.hpp"
#include "pipeline/conversion_sink.hpp"
#include "pipeline/conversion_worker.hpp"

namespace kartwerk::pipeline {

struct ConvertRequest {
  std::filesystem::path mapPath;       // the compiled map (.qdm, .qdp, .qdc; a campaign's main or mission file)
  std::filesystem::path slotFolder;    // RunConversion(request): the editor slot folder, replaced whole at the end
  std::filesystem::path backupFolder;  // where the slot's previous content is kept; empty: DefaultBackupFolder()
  bool onlyReplaceMaps = false;        // an --out folder: refuse one that holds what is not a map
  format::GameVersionKind gameVersionKind = format::GameVersionKind::CurrentKeywords;
  std::filesystem::path cliffDataFile;              // empty: the program's own "cliffdata"
  std::shared_ptr<const core::Bytes> cliffData;     // already loaded: used instead of cliffDataFile
  std::function<void(std::size_t labels)> planned;  // how many labels the steps will report, before the first
  ProgressHandler progress;                         // each step's label, on the worker thread
  std::function<void(const std::string&)> warn;     // repaired input, on the thread that meets it
  EndHandler ended;                                 // the end, once the sink has settled it, on the worker thread
  std::stop_token stop;                             // a stop requested here ends the run at the next step boundary
  unsigned missionJobs = 0;                         // a campaign's missions at once (0: one per processor core)
};

// Sets MapKind from the map's extension, stages the map and loads the main container's section
// directory.
void PrepareMap(format::Conversion& conversion, const std::filesystem::path& mapPath);

// One conversion in its phases. Each phase that fails records why in End() (which preparation:
// checking the slot folder, loading cliffdata, staging the map, checking the size, preparing the
// slot folder, writing the slot's desc or info) and settles the sink; later phases then do
// nothing. Never throws for a failure of the work itself.
class MapConversion {
 public:
  explicit MapConversion(ConvertRequest request);
  // Stops the worker and waits for it (and the sink's settling) to finish.
  ~MapConversion();
  MapConversion(const MapConversion&) = delete;
  MapConversion& operator=(const MapConversion&) = delete;

  // The target check alone, before anything is read: a target that holds the map (or the home
  // folder, or a disk) would be moved into the backups whole. Open runs it when it has not run.
  bool CheckTarget(ConversionSink& sink);
  // Loads the cliff masks and stages the map.
  bool Stage();
  // The target check, the size ceiling and free space, the sink opened, the slot's "desc" and
  // "info" written, and planned told the label count. The staged facts (MapInfoRecord, MapName,
  // MissionList) can be read from conversion() until Start.
  bool Open(ConversionSink& sink);
  // The game version the steps write for, when it is known only after staging (a window learns
  // the installation once the map has been read).
  void SetGameVersionKind(format::GameVersionKind kind) { c_.GameVersionKind = kind; }
  // Starts the worker; ended and the returned end of Wait follow. Does nothing unless Open succeeded.
  void Start();
  // Asks the worker to end at its next step boundary; returns at once.
  void RequestStop();
  // Blocks until the worker and the sink have finished; returns how the run ended.
  const ConversionEnd& Wait();

  bool Started() const { return started_; }
  bool Failed() const { return failed_; }
  const ConversionEnd& End() const { return end_; }
  const format::Conversion& conversion() const { return c_; }
  // The labels a run of the staged map reports when it goes to the end: the progress count.
  std::size_t PlannedLabels() const;

 private:
  template <class Body>
  bool Prepare(const char* what, Body&& body);

  ConvertRequest request_;
  format::Conversion c_;
  ConversionEnd end_;
  ConversionSink* sink_ = nullptr;  // set by CheckTarget or Open; settled once
  bool staged_ = false;
  bool opened_ = false;
  bool started_ = false;
  bool failed_ = false;
  bool settled_ = false;
  std::unique_ptr<std::stop_callback<std::function<void()>>> forwardStop_;
  // Last, so that it goes first: its destruction joins the worker while what it uses still exists.
  std::unique_ptr<ConversionWorker> worker_;
};

// The whole conversion into sink, blocking until the worker and the sink have ended.
ConversionEnd RunConversion(const ConvertRequest& request, ConversionSink& sink);

// The whole conversion into request.slotFolder: written into a private folder beside it, which
// takes the slot folder's place only when every step has succeeded (SlotCommit); the result then
// names where the previous content was kept. On any failure the slot folder is left as it was.
ConversionEnd RunConversion(const ConvertRequest& request);

}  // namespace kartwerk::pipeline

#include "pipeline/run_conversion.hpp"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "convert/records/cliff_data.hpp"
#include "convert/writers/map_header_files.hpp"
#include "core/conversion_size.hpp"
#include "core/path_text.hpp"
#include "core/platform_files.hpp"
#include "core/staging.hpp"
#include "pipeline/conversion_steps.hpp"
#include "pipeline/out_folder_rule.hpp"
#include "pipeline/slot_commit.hpp"
#include "pipeline/target_check.hpp"
#include "pipeline/write_gate.hpp"

namespace kartwerk {
namespace {

// Runs one preparation, recording its failure under the given name.
template <class Body>
bool Prepare(ConversionEnd& end, const char* what, Body&& body) {
  try {
    body();
    return true;
  } catch (...) {
    end.error = std::current_exception();
    end.failedStep = what;
    end.slotLeftAsItWas = true;  // the slot folder is only ever touched by the commit
    return false;
  }
}

// Refuses a conversion that would write more than a real campaign or the target's free space,
// and holds the missions still to be read to what is left of that.
void LimitConversionSize(Conversion& c, const std::filesystem::path& slotFolder) {
  const std::uint64_t available = AvailableBytesFor(slotFolder);
  const std::string problem = ConversionSizeProblem(PlannedConversionBytes(c), available);
  if (!problem.empty()) throw std::runtime_error(problem);
  const std::size_t missions = c.MapKind == CampaignMap ? c.MissionFiles.size() : 1;
  c.InflatedBudget = std::min(kMaxConversionBytes, available) - missions * kMissionGridBytes;
}

}  // namespace

void PrepareMap(Conversion& c, const std::filesystem::path& mapPath) {
  c.MapKind = MapKindFromExtension(TextFromPath(mapPath.extension()));
  StageMapFile(c, mapPath);
}

ConversionEnd RunConversion(const ConvertRequest& request) {
  ConversionEnd end;
  const std::filesystem::path backups = request.BackupFolder.empty() ? DefaultBackupFolder() : request.BackupFolder;
  // Checked before anything is read: a target that holds the map (or the home folder, or a disk)
  // would be moved into the backups whole. The slot commit passes the same gate again.
  const WriteGate gate{{request.MapPath}, backups, "convert into"};
  if (!Prepare(end, "checking the slot folder", [&] {
        const std::string problem = FolderWriteProblem(request.SlotFolder, gate, FolderUse::Replace);
        if (!problem.empty()) throw std::runtime_error(problem);
      })) {
    return end;
  }
  if (request.OnlyReplaceMaps && !Prepare(end, "checking the output folder", [&] {
        if (const auto refusal = OutFolderRefusal(TargetPath(request.SlotFolder), BackupStore(backups))) {
          throw SlotFolderError(*refusal);
        }
      })) {
    return end;
  }
  Conversion c;
  c.Warn = request.Warn;
  c.GameVersionKind = request.GameVersionKind;

  const std::filesystem::path cliffData =
      request.CliffDataFile.empty() ? DefaultCliffDataPath() : request.CliffDataFile;
  if (!Prepare(end, "loading cliffdata", [&] { c.CliffDataBuffer = LoadCliffData(cliffData); })) return end;

  if (!Prepare(end, "staging the map", [&] { PrepareMap(c, FullPath(request.MapPath)); })) return end;
  if (!Prepare(end, "checking the size", [&] { LimitConversionSize(c, request.SlotFolder); })) return end;

  std::optional<SlotCommit> slot;
  const bool slotReady = Prepare(end, "preparing the slot folder",
                                 [&] {
                                   slot.emplace(request.SlotFolder, backups, request.Warn, gate);
                                   c.SlotFolder = slot->Folder();
                                 }) &&
                         Prepare(end, "writing the slot's desc", [&] { WriteMapDescFile(c); }) &&
                         Prepare(end, "writing the slot's info", [&] { WriteMapInfoFile(c); });

  if (slotReady) {
    if (request.Planned) {
      request.Planned(ReportedLabelCount(c.MapKind == CampaignMap ? c.MissionList.size() : 1));
    }
    TProcessThread worker(c);
    worker.SetProgressHandler(request.Progress);
    worker.SetEndHandler([&end](const ConversionEnd& result) { end = result; });
    worker.Start();
    // Registered once the worker runs, so a stop requested earlier still reaches it.
    std::stop_callback forwardStop(request.Stop, [&worker] { worker.RequestStop(); });
    worker.Wait();
  }
  if (slot) FinishSlot(*slot, end);
  return end;
}

}  // namespace kartwerk

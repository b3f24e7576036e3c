#include "pipeline/run_conversion.hpp"

#include <optional>

#include "convert/records/cliff_data.hpp"
#include "convert/writers/map_header_files.hpp"
#include "core/path_text.hpp"
#include "core/staging.hpp"
#include "pipeline/conversion_steps.hpp"
#include "pipeline/out_folder_rule.hpp"
#include "pipeline/slot_commit.hpp"

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

}  // namespace

void PrepareMap(Conversion& c, const std::filesystem::path& mapPath) {
  c.MapKind = MapKindFromExtension(TextFromPath(mapPath.extension()));
  StageMapFile(c, mapPath);
}

ConversionEnd RunConversion(const ConvertRequest& request) {
  ConversionEnd end;
  const std::filesystem::path backups = request.BackupFolder.empty() ? DefaultBackupFolder() : request.BackupFolder;
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

  if (!Prepare(end, "staging the map", [&] { PrepareMap(c, std::filesystem::absolute(request.MapPath)); })) return end;

  std::optional<SlotCommit> slot;
  const bool slotReady = Prepare(end, "preparing the slot folder",
                                 [&] {
                                   slot.emplace(request.SlotFolder, backups, request.Warn);
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

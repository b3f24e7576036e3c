// Converts arbitrary bytes as a decompressed map container, through the conversion entry every
// command uses, into a scratch slot folder. The first byte picks the map kind; a campaign gets the
// same container as its one mission file. Steps may fail with their documented errors; what must
// never happen is a read outside the container, a crash, or a file outside the slot folder.
#include <filesystem>
#include <memory>

#include "fuzz/fuzz_target.hpp"
#include "mapmaker/map_builder.hpp"
#include "pipeline/run_conversion.hpp"
#include "pipeline/slot_commit.hpp"
#include "platform/temp_folder.hpp"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  kartwerk::platform::PrivateTempFolder scratch;
  const fs::path maps = scratch.path() / "maps";
  fs::create_directory(maps);
  static constexpr const char* kNames[] = {"001.qdm", "001.qdp", "001.qdc"};
  const kartwerk::core::Bytes member = kartwerk::mapmaker::Gzip(kartwerk::core::Bytes(data + 1, data + size));
  const fs::path map = maps / kNames[data[0] % 3];
  kartwerk::mapmaker::WriteBytes(map, member);
  if (data[0] % 3 == kartwerk::format::CampaignMap) kartwerk::mapmaker::WriteBytes(maps / "0010000.qdc", member);

  kartwerk::pipeline::ConvertRequest request;
  request.mapPath = map;
  // A small cliff mask file: masks past its end read as zeros.
  request.cliffData = std::make_shared<const kartwerk::core::Bytes>(49 * 4, 1);
  kartwerk::pipeline::SlotFolderSink slot(scratch.path() / "slot", scratch.path() / "backups");
  kartwerk::pipeline::MapConversion run(request);
  if (!run.Open(slot)) return 0;
  // The fuzzer explores sizes; keep the map small enough that one run stays quick.
  if (run.conversion().MapInfoRecord.width > 1024 || run.conversion().MapInfoRecord.height > 1024) return 0;
  run.Start();
  run.Wait();
  for (const auto& entry : fs::directory_iterator(scratch.path())) {
    const auto name = entry.path().filename();
    if (name != "maps" && name != "slot" && name != "backups") __builtin_trap();
  }
  return 0;
}

// Converts arbitrary bytes as a decompressed map container, through every step of a
// conversion, into a scratch slot folder. The first byte picks the map kind. Steps may fail
// with their documented errors; what must never happen is a read outside the container,
// a crash, or a file outside the slot folder.
#include <filesystem>
#include <stop_token>

#include "convert/writers/map_header_files.hpp"
#include "core/temp_folder.hpp"
#include "fuzz/fuzz_target.hpp"
#include "pipeline/process_thread.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  kartwerk::PrivateTempFolder slot;
  kartwerk::Conversion c;
  // Campaign mission files would be loaded from the temporary folder; a campaign here runs
  // its map-level steps and then fails to load its (absent) first mission, which is fine.
  c.MapKind = static_cast<kartwerk::MapKindCode>(data[0] % 3);
  c.MapName = "001";
  c.TempFolder = slot.path();
  c.SlotFolder = slot.path();
  c.MissionList = {"0010001"};
  // A small cliff mask file: masks past its end read as zeros.
  c.CliffDataBuffer = std::make_shared<const kartwerk::Bytes>(49 * 4, 1);
  c.MissionStream.Load(kartwerk::Bytes(data + 1, data + size));
  c.PMiniCount = kartwerk::ReadSectionDirectory(c.MissionStream, c.SectionDirectory);
  try {
    kartwerk::WriteMapDescFile(c);
    kartwerk::WriteMapInfoFile(c);
  } catch (const std::exception&) {
    return 0;
  }
  // The fuzzer explores sizes; keep the map small enough that one run stays quick.
  if (c.MapInfoRecord.width > 1024 || c.MapInfoRecord.height > 1024) return 0;
  kartwerk::RunConversionSteps(c, {}, std::stop_token{});
  return 0;
}

// Conversion: everything one map conversion reads and writes, passed by reference
// to the staging step, the directory load, every file writer and the driver.
// Two conversions never share one of these, so they can run side by side.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_stream.hpp"
#include "format/game_version.hpp"
#include "format/map_kind.hpp"
#include "format/section_directory.hpp"
#include "platform/file_sink.hpp"
#include "platform/path_text.hpp"
#include "platform/written_files.hpp"

namespace kartwerk::format {

// Scheme, width and height of a map, from its map information section.
struct MapInformation {
  std::uint32_t TerrainScheme = 0;  // 0 "Normal", 1 "Beach", 2 "Island"
  std::int32_t width = 0;           // cells; the row length of CliffGrid
  std::int32_t height = 0;
};

// The part of the map the current mission covers, in cells (one cell is 32 position units).
struct MissionRectangle {
  std::int32_t x0 = 0;
  std::int32_t y0 = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct Conversion {
  MapKindCode MapKind = SinglePlayerMap;

  // Path state, set by staging (and the slot choice for SlotFolder).
  std::filesystem::path MapFolder;
  std::string MapName;
  std::vector<std::string> MissionList;             // campaign mission files, without extension
  std::vector<std::filesystem::path> MissionFiles;  // the compiled mission files, in MissionList order
  // The file each mission's container comes from (set by staging; when empty, MissionFiles): the
  // file whose decompressed copy takes the mission's name, as the game stages a campaign. Each
  // compiled file names its copy (the name it stores), a later file's copy replacing an earlier
  // one of the same name; an empty path where no copy takes the mission's name.
  std::vector<std::filesystem::path> MissionSources;
  // Decompressed bytes read so far (the main file's at staging, then each mission's as it is
  // loaded) and the most a conversion may read (0: no limit): a mission file whose data runs past
  // what its stored length announced cannot grow the output past the limit checked before writing.
  std::uint64_t InflatedBytes = 0;
  std::uint64_t InflatedBudget = 0;
  std::string MissionName;  // "mis." and three characters
  std::filesystem::path SlotFolder;
  // When set, the files go to this receiver instead of SlotFolder: nothing is written to disk.
  platform::FileSink* Output = nullptr;
  // When set (and Output is not), every file written is logged here with its size and digest.
  platform::WrittenFiles* Written = nullptr;
  std::filesystem::path MissionFolder() const;

  // The container loaded now: the main file, or a campaign's current mission file.
  core::ByteStream MissionStream;
  SectionTable SectionDirectory;
  std::uint8_t MiniEntryCount = 0;

  MapInformation MapInfoRecord;
  std::vector<std::uint8_t> CliffGrid;  // width x height cliff marks, row by row
  MissionRectangle MissionRect;
  format::GameVersionKind GameVersionKind = format::GameVersionKind::CurrentKeywords;  // which script keyword table
  std::shared_ptr<const core::Bytes> CliffDataBuffer = std::make_shared<const core::Bytes>();

  // Receives warnings about input that was repaired (for instance a clipped mission rectangle).
  std::function<void(const std::string&)> Warn;

  // The directory entry of a section type for this map kind; an empty entry when the kind
  // has none. Seek positions MissionStream at the entry's data.
  const SectionEntry& Entry(Section section) const;
  const SectionEntry& Seek(Section section);
};

// Makes container the loaded container: MissionStream, SectionDirectory and MiniEntryCount. Warnings
// about a damaged directory name the container by name.
void LoadContainer(Conversion& conversion, core::ContainerBytes container, const std::string& name);
void LoadContainer(Conversion& conversion, const core::Bytes& container, const std::string& name);

// Loads a decompressed container file (as LoadContainer).
void LoadSectionDirectory(Conversion& conversion, const std::filesystem::path& file);

}  // namespace kartwerk::format

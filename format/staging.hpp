// Staging: setting the path state the writers compose names from, and inflating a compiled map
// straight into memory: the main file when staged, a campaign's mission files one at a time
// when their mission starts. Nothing is written to disk.
#pragma once

#include <cstddef>
#include <filesystem>

#include "format/conversion.hpp"

namespace kartwerk::format {

// A mission's number is 8 bits wide in the editor's world: a campaign has at most this many.
inline constexpr std::size_t kMaxCampaignMissions = 255;

// Stages the map at mapPath according to conversion.MapKind and loads its main container.
// A campaign's mission files are listed (MissionList without extension, MissionFiles the
// files) and each one's gzip header is checked, but none is inflated yet. A campaign with more
// mission files than kMaxCampaignMissions is refused (std::runtime_error) before any of that.
// Lets every GzipError pass.
void StageMapFile(Conversion& conversion, const std::filesystem::path& mapPath);

// Makes the campaign mission file MissionFiles[mission] the loaded container; the container
// loaded before is released first, so one mission's container is held at a time.
void LoadMissionFile(Conversion& conversion, std::size_t mission);

}  // namespace kartwerk::format

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
// A campaign's containers are found by name the way the game stages them: every compiled file's
// copy takes the name the file stores (the main file's its own name), and each container is the
// copy of its name (MissionSources). A main container no copy takes the name of is refused
// (std::runtime_error "Cannot open file"). Lets every GzipError pass.
void StageMapFile(Conversion& conversion, const std::filesystem::path& mapPath);

// Makes the campaign mission's container (from MissionSources[mission], or MissionFiles[mission]
// when staging did not set them) the loaded container; the container loaded before is released
// first, so one mission's container is held at a time. A mission no copy takes the name of fails
// with std::runtime_error ("Cannot open file"), as the game's staging does.
void LoadMissionFile(Conversion& conversion, std::size_t mission);

}  // namespace kartwerk::format

// Staging: decompressing a compiled map (and a campaign's mission files) into the
// conversion's temporary folder and setting the path state the writers compose names from.
#pragma once

#include <cstddef>
#include <filesystem>

#include "core/conversion.hpp"

namespace kartwerk {

// A mission's number is 8 bits wide in the editor's world: a campaign has at most this many.
inline constexpr std::size_t MaxCampaignMissions = 255;

// Stages the map at mapPath according to conversion.MapKind; conversion.TempFolder must be set.
// A campaign with more mission files than MaxCampaignMissions is refused (std::runtime_error)
// before anything is decompressed.
// Afterwards the main file is TempFolder / MapName and each campaign mission file
// TempFolder / its MissionList entry. Lets every EGZipError pass.
void StageMapFile(Conversion& conversion, const std::filesystem::path& mapPath);

// Deletes the decompressed files staging made (the main file and every mission file).
void RemoveStagedFiles(const Conversion& conversion);

}  // namespace kartwerk

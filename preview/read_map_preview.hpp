// Reading a compiled map for its picture, with the same staging, section positions, tile tables
// and cliff masks as a conversion, so the picture shows what the editor will get.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/byte_stream.hpp"
#include "format/conversion.hpp"
#include "preview/map_preview.hpp"

namespace kartwerk::preview {

// A map that cannot be read. The message says which stage failed and why, in the words a
// conversion of the same map uses ("staging the map failed: Error opening ...").
class MapPreviewError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The map-level part, from the main container loaded in conversion (MapKind, MapInfoRecord and
// CliffDataBuffer set): terrain, levels, cliff marks, objects. Sections cut short give what they
// hold; the rest of the cells read as kNoTerrain. Throws MapPreviewError for a size that cannot
// be drawn (a side of 0 or less, or above kMaxPreviewSide).
MapPreview ReadMapLevelPreview(format::Conversion& conversion);

// One mission, from the mission container loaded in conversion (the main container for a
// single-player or multiplayer map): its rectangle, title and units. Units the file does not
// hold in full are left out.
MissionPreview ReadMissionPreview(format::Conversion& conversion, const std::string& missionName);

// Stages mapPath (in memory) and reads the map and every mission, one mission file at a time.
// cliffData may be empty (no cliff marks then); warn receives repaired input. Throws
// MapPreviewError naming the stage that failed.
MapPreview LoadMapPreview(const std::filesystem::path& mapPath, std::shared_ptr<const core::Bytes> cliffData,
                          const std::function<void(const std::string&)>& warn = {});

}  // namespace kartwerk::preview

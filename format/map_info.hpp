// The map information section: terrain scheme, width and height.
#pragma once

#include <string>
#include <string_view>

#include "core/cp1252.hpp"
#include "format/conversion.hpp"

namespace kartwerk::format {

// Reads the first 12 bytes of the map information section of the loaded container
// (missing bytes read as 0) without changing the stream position.
MapInformation ReadMapInformation(const Conversion& conversion);
MapInformation ParseMapInformation(std::span<const std::uint8_t> twelveBytes);

// The rectangle of the map the current mission covers: a campaign mission's from the first 16
// bytes of its information section (x, y, width, height), otherwise the whole map. Moves the
// mission stream.
MissionRectangle ReadMissionRectangle(Conversion& conversion);

// "Normal", "Beach", "Island"; "Unknown" for any other scheme.
std::string_view TerrainSchemeText(std::uint32_t scheme);

}  // namespace kartwerk::format

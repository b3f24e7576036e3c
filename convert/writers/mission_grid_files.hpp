// The mission's "mines" and "locations" files: grid sections placed into the editor's grid.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/byte_stream.hpp"
#include "format/conversion.hpp"

namespace kartwerk::writers {

// The editor's mines and locations grids: 512 x 512 cells, one byte each, row by row.
inline constexpr std::int32_t kMissionGridSide = 512;
inline constexpr std::size_t kMissionGridBytes = 512 * 512;

// "mines" and "locations": the mission's grid section placed into a MissionGrid.
void WriteMinesFile(format::Conversion& conversion);
void WriteLocationsFile(format::Conversion& conversion);

// Whether the rectangle lies wholly inside the 512 x 512 grid.
bool FitsMissionGrid(const format::MissionRectangle& rect);

// Reads a grid section of rect.width x rect.height bytes, row after row, from the stream's
// position and places it at (x0, y0) of a MissionGrid. Cells outside the grid are dropped, so
// the result is always kMissionGridBytes long and no row runs into the next. Every row must be
// in the stream in full (StreamReadError otherwise), whether it lands on the grid or not.
core::Bytes PlaceOnMissionGrid(core::ByteStream& stream, const format::MissionRectangle& rect);

}  // namespace kartwerk::writers

// The mission files that are raw records or byte copies of the compiled mission, written
// into MissionFolder() for the current mission. WriteInfoFile runs first in every mission:
// it sets MissionRect, which the grids, the objects and the unit lists place things by.
#pragma once

#include <cstdint>

#include "core/byte_stream.hpp"
#include "core/conversion.hpp"

namespace kartwerk {

// The editor's mines and locations grids: 512 x 512 cells, one byte each, row by row.
inline constexpr std::int32_t MissionGridSide = 512;
inline constexpr std::size_t MissionGridBytes = 512 * 512;

// The multiplayer settings of a map kind that stores none (single-player and campaign).
inline constexpr std::uint8_t DefaultMismult[16] = {2, 0, 0, 0, 12, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0};

// "info": sets MissionRect (a campaign mission's own rectangle, else the whole map), then writes
// it, the two values and the three counted texts of the mission info record. Warns when the
// rectangle does not fit the editor's grid.
void WriteInfoFile(Conversion& conversion);
// "desc": "Mission #" and the mission's number; then the picture.
void WriteDescFile(Conversion& conversion);
// "JPG1024.jpg": the mission picture, byte for byte.
void WritePictureFile(Conversion& conversion);
// "mines" and "locations": the mission's grid section placed into a MissionGrid.
void WriteMinesFile(Conversion& conversion);
void WriteLocationsFile(Conversion& conversion);
// "phrases2": the phrases section, byte for byte.
void WritePhrasesFile(Conversion& conversion);
// "objs": the 100 mission objects as map cells (32-bit x, y).
void WriteObjsFile(Conversion& conversion);
// "mismult": a multiplayer map's settings section, else DefaultMismult.
void WriteMismultFile(Conversion& conversion);
// "misdesc": the mission description section, byte for byte.
void WriteMisdescFile(Conversion& conversion);

// Whether the rectangle lies wholly inside the 512 x 512 grid.
bool FitsMissionGrid(const MissionRectangle& rect);

// Reads a grid section of rect.width x rect.height bytes, row after row, from the stream's
// position and places it at (x0, y0) of a MissionGrid. Cells outside the grid are dropped, so
// the result is always MissionGridBytes long and no row runs into the next. Every row must be
// in the stream in full (StreamReadError otherwise), whether it lands on the grid or not.
Bytes PlaceOnMissionGrid(ByteStream& stream, const MissionRectangle& rect);

}  // namespace kartwerk

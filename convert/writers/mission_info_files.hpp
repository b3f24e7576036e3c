// The mission files that open every mission folder: "info", "desc" and the picture, written
// into MissionFolder() for the current mission. WriteInfoFile runs first in every mission:
// it sets MissionRect, which the grids, the objects and the unit lists place things by.
#pragma once

#include "format/conversion.hpp"

namespace kartwerk::writers {

// "info": sets MissionRect (a campaign mission's own rectangle, else the whole map), then writes
// it, the two values and the three counted texts of the mission info record. Warns when the
// rectangle does not fit the editor's grid.
void WriteInfoFile(format::Conversion& conversion);
// "desc": "Mission #" and the mission's number; then the picture.
void WriteDescFile(format::Conversion& conversion);
// "JPG1024.jpg": the mission picture, byte for byte.
void WritePictureFile(format::Conversion& conversion);

}  // namespace kartwerk::writers

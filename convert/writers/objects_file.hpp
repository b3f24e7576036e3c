// The "objects" file of an editor slot, and the cliff grid it leaves for "cflags".
#pragma once

#include "format/conversion.hpp"

namespace kartwerk::writers {

// "objects": one line per 10-byte object record. Clears CliffGrid to the map's size first and
// lets every cliff object stamp it. The records lie at the entry MiniEntryCount places after the
// objects position (the map's "P-MINI" previews come before them); their count comes from
// the objects position's own entry.
void WriteObjectsFile(format::Conversion& conversion);

}  // namespace kartwerk::writers

// The "cflags" file of an editor slot.
#pragma once

#include "format/conversion.hpp"

namespace kartwerk::writers {

// "cflags": one 16-bit word per 4-byte record of the first cell-flag section (layout in
// convert/records/cell_flags.hpp). Reads the cliff marks WriteObjectsFile left in CliffGrid.
void WriteCflagsFile(format::Conversion& conversion);

}  // namespace kartwerk::writers

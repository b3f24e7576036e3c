// The "rhombs" file of an editor slot.
#pragma once

#include "format/conversion.hpp"

namespace kartwerk::writers {

// "rhombs": one 8-byte editor rhomb per 4-byte compiled rhomb, converted by the terrain
// scheme's tables; empty for a scheme other than 0, 1 and 2.
void WriteRhombsFile(format::Conversion& conversion);

}  // namespace kartwerk::writers

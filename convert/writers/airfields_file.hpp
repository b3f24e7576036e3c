// The "airfields" file of an editor slot.
#pragma once

#include "format/conversion.hpp"

namespace kartwerk::writers {

// "airfields": the airfields section, byte for byte; throws StreamReadError when its stored
// size runs past the end of the container.
void WriteAirfieldsFile(format::Conversion& conversion);

}  // namespace kartwerk::writers

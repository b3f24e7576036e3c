// The "airfields" file of an editor slot.
#pragma once

#include "format/conversion.hpp"

namespace kartwerk {

// "airfields": the airfields section, byte for byte; throws StreamReadError when its stored
// size runs past the end of the container.
void WriteAirfieldsFile(Conversion& conversion);

}  // namespace kartwerk

// The mission files that are byte copies or raw records of one section of the compiled
// mission: "phrases2", "objs", "mismult" and "misdesc". They run after WriteInfoFile.
#pragma once

#include <cstdint>

#include "format/conversion.hpp"

namespace kartwerk::writers {

// The multiplayer settings of a map kind that stores none (single-player and campaign).
inline constexpr std::uint8_t kDefaultMismult[16] = {2, 0, 0, 0, 12, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0};

// "phrases2": the phrases section, byte for byte.
void WritePhrasesFile(format::Conversion& conversion);
// "objs": the 100 mission objects as map cells (32-bit x, y).
void WriteObjsFile(format::Conversion& conversion);
// "mismult": a multiplayer map's settings section, else kDefaultMismult.
void WriteMismultFile(format::Conversion& conversion);
// "misdesc": the mission description section, byte for byte.
void WriteMisdescFile(format::Conversion& conversion);

}  // namespace kartwerk::writers

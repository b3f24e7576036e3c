// The text list files of a mission folder: each reads the records of its section(s) in order,
// hands each to its record converter and frames the converters' texts with lines of its own.
// All run after WriteInfoFile, whose MissionRect the flags and units are placed by.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "convert/records/units.hpp"
#include "core/byte_stream.hpp"
#include "format/conversion.hpp"

namespace kartwerk::writers {

inline constexpr int kGroupCount = 100;
inline constexpr int kSupportFlagCount = 16;
inline constexpr int kSupportGroupCount = 64;

// "groups": "Group N" and the group's three lines, for N 0 to 99; a multiplayer map, which
// stores no AI groups, gets DefaultGroupRecord for every group.
void WriteGroupsFile(format::Conversion& conversion);
// "support": the 16 flag lines, an empty line, then 64 blocks "support "..."" ... "end".
void WriteSupportFile(format::Conversion& conversion);
// "sounds": one block per sound.
void WriteSoundsFile(format::Conversion& conversion);
// "mapunits": one unit text per unit record.
void WriteMapunitsFile(format::Conversion& conversion);
// "scripts2": one block per script.
void WriteScripts2File(format::Conversion& conversion);

// The passengers and crew that follow a unit head (count of them), in the order the unit
// texts list them: the reverse of their order in the section.
std::vector<records::CrewRecord> ReadCrewReversed(core::ByteStream& stream, std::size_t count);

}  // namespace kartwerk::writers

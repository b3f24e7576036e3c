// Pieces of text shared by the map units and the support group units: the pairs every
// unit and crew line starts with, and the crew lines themselves.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "convert/records/name_table.hpp"
#include "convert/records/units.hpp"

namespace kartwerk::records {

// The six pairs a unit or crew line opens with. Morale comes before Lives in the text,
// although Lives comes first in the records: the editor expects that order.
struct UnitStats {
  std::uint32_t typeNumber = 0;
  std::uint8_t HP = 0, Ammo = 0, Expa = 0, Morale = 0, Lives = 0, Grp = 0;
};

// Appends " ID=<name> HP=.. Ammo=.. Expa=.. Morale=.. Lives=.. Grp=..".
void AppendStatPairs(std::string& out, const UnitStats& stats, const NameTable& names);

// Appends " Crew=N" and, only when the unit carries passengers, " In=N".
void AppendCrewAndIn(std::string& out, std::uint8_t crew, std::uint8_t in);

// How a crew record's type number is read: map units use bytes 6 and 7, support groups 6 to 9.
enum class CrewTypeNumber { Narrow16, Wide32 };

// Appends one line per crew record, in list order: "  ID=<name> HP=... Grp=..\n".
void AppendCrewLines(std::string& out, std::span<const CrewRecord> crew, const NameTable& names, CrewTypeNumber width);

}  // namespace kartwerk::records

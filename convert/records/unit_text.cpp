#include "convert/records/unit_text.hpp"

#include <charconv>

namespace kartwerk {
namespace {

void AppendPair(std::string& out, const char* key, std::uint32_t value) {
  out += key;
  char digits[10];  // spelled in place: no string per number
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

}  // namespace

void AppendStatPairs(std::string& out, const UnitStats& stats, const NameTable& names) {
  out += " ID=";
  out += LookupName(names, stats.typeNumber);
  AppendPair(out, " HP=", stats.HP);
  AppendPair(out, " Ammo=", stats.Ammo);
  AppendPair(out, " Expa=", stats.Expa);
  AppendPair(out, " Morale=", stats.Morale);
  AppendPair(out, " Lives=", stats.Lives);
  AppendPair(out, " Grp=", stats.Grp);
}

void AppendCrewAndIn(std::string& out, std::uint8_t crew, std::uint8_t in) {
  AppendPair(out, " Crew=", crew);
  if (in != 0) AppendPair(out, " In=", in);
}

void AppendCrewLines(std::string& out, std::span<const CrewRecord> crew, const NameTable& names,
                     CrewTypeNumber width) {
  for (const CrewRecord& member : crew) {
    const std::uint32_t type = width == CrewTypeNumber::Wide32 ? member.WideID() : member.ID;
    out += ' ';  // crew lines are indented one space more than their unit's line
    AppendStatPairs(out, {type, member.HP, member.Ammo, member.Expa, member.Morale, member.Lives, member.Grp},
                    names);
    out += '\n';
  }
}

}  // namespace kartwerk

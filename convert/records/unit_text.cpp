#include "convert/records/unit_text.hpp"

#include <algorithm>

#include "convert/records/key_value.hpp"

namespace kartwerk {
namespace {

// " ID=" and a name, and six pairs. A large mission has tens of thousands of units and crew
// members: their pairs are spelled into one buffer and appended to the text at once.
constexpr std::size_t kStatPairsRoom = 4 + NameTable::kEntrySize + 6 * (8 + kPairNumberRoom);

}  // namespace

void AppendStatPairs(std::string& out, const UnitStats& stats, const NameTable& names) {
  char text[kStatPairsRoom];
  char* at = std::copy_n(" ID=", 4, text);
  at = SpellName(at, names, stats.typeNumber);
  at = SpellPair(at, " HP=", stats.HP);
  at = SpellPair(at, " Ammo=", stats.Ammo);
  at = SpellPair(at, " Expa=", stats.Expa);
  at = SpellPair(at, " Morale=", stats.Morale);
  at = SpellPair(at, " Lives=", stats.Lives);
  at = SpellPair(at, " Grp=", stats.Grp);
  out.append(text, at);
}

void AppendCrewAndIn(std::string& out, std::uint8_t crew, std::uint8_t in) {
  AppendPair(out, " Crew=", crew);
  if (in != 0) AppendPair(out, " In=", in);
}

void AppendCrewLines(std::string& out, std::span<const CrewRecord> crew, const NameTable& names, CrewTypeNumber width) {
  for (const CrewRecord& member : crew) {
    const std::uint32_t type = width == CrewTypeNumber::Wide32 ? member.WideID() : member.ID;
    out += ' ';  // crew lines are indented one space more than their unit's line
    AppendStatPairs(out, {type, member.HP, member.Ammo, member.Expa, member.Morale, member.Lives, member.Grp}, names);
    out += '\n';
  }
}

}  // namespace kartwerk

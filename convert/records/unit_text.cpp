#include "convert/records/unit_text.hpp"

#include <algorithm>

#include "convert/records/key_value.hpp"

namespace kartwerk::records {
namespace {

// " ID=" and a name, and six pairs. A large mission has tens of thousands of units and crew
// members: their pairs are spelled into one buffer and appended to the text at once.
constexpr std::size_t kStatPairsRoom = 4 + NameTable::kEntrySize + 6 * (8 + kPairNumberRoom);

constexpr const RecordFields<6>& kStart = UnitRecordStart::kFields;
constexpr std::string_view kIDKey = UnitHead::kFields[UnitHead::kID].name;

}  // namespace

void AppendStatPairs(std::string& out, const UnitStats& stats, const NameTable& names) {
  char text[kStatPairsRoom];
  char* at = text;
  *at++ = ' ';
  at = std::copy(kIDKey.begin(), kIDKey.end(), at);
  *at++ = '=';
  at = SpellName(at, names, stats.typeNumber);
  at = SpellNamedPair(at, kStart[UnitRecordStart::kHP].name, stats.HP);
  at = SpellNamedPair(at, kStart[UnitRecordStart::kAmmo].name, stats.Ammo);
  at = SpellNamedPair(at, kStart[UnitRecordStart::kExpa].name, stats.Expa);
  at = SpellNamedPair(at, kStart[UnitRecordStart::kMorale].name, stats.Morale);
  at = SpellNamedPair(at, kStart[UnitRecordStart::kLives].name, stats.Lives);
  at = SpellNamedPair(at, kStart[UnitRecordStart::kGrp].name, stats.Grp);
  out.append(text, at);
}

void AppendCrewAndIn(std::string& out, std::uint8_t crew, std::uint8_t in) {
  AppendNamedPair(out, UnitHead::kFields[UnitHead::kCrew].name, crew);
  if (in != 0) AppendNamedPair(out, UnitHead::kFields[UnitHead::kIn].name, in);
}

void AppendCrewLines(std::string& out, std::span<const CrewRecord> crew, const NameTable& names, CrewTypeNumber width) {
  for (const CrewRecord& member : crew) {
    const std::uint32_t type = width == CrewTypeNumber::Wide32 ? member.WideID() : member.ID;
    out += ' ';  // crew lines are indented one space more than their unit's line
    AppendStatPairs(out, {type, member.HP, member.Ammo, member.Expa, member.Morale, member.Lives, member.Grp}, names);
    out += '\n';
  }
}

}  // namespace kartwerk::records

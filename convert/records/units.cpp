#include "convert/records/units.hpp"

#include "convert/records/key_value.hpp"
#include "convert/records/unit_text.hpp"

namespace kartwerk::records {

void UnitRecordStart::DecodeStart(std::span<const std::uint8_t> start) {
  const FieldReader<UnitRecordStart::kFields> f(start);
  Grp = f.U8<kGrp>();
  HP = f.U8<kHP>();
  Ammo = f.U8<kAmmo>();
  Expa = f.U8<kExpa>();
  Lives = f.U8<kLives>();
  Morale = f.U8<kMorale>();
}

CrewRecord CrewRecord::Decode(std::span<const std::uint8_t> record) {
  const FieldReader<kFields> f(record);
  CrewRecord c;
  c.DecodeStart(f.Bytes<kStart>());
  c.ID = f.U16<kID>();
  c.IDHigh = f.U16<kIDHigh>();
  return c;
}

UnitHead UnitHead::Decode(std::span<const std::uint8_t> record) {
  const FieldReader<kFields> f(record);
  UnitHead h;
  h.DecodeStart(f.Bytes<kStart>());
  h.ID = f.U16<kID>();
  h.In = f.U8<kIn>();
  h.Crew = f.U8<kCrew>();
  h.U = f.U16<kU>();
  h.V = f.U16<kV>();
  h.Dir = f.U8<kDir>();
  h.Owner = f.U8<kOwner>();
  return h;
}

namespace {

// A stored position plus the mission origin in cells, as the game adds them: a 32-bit
// sum that wraps instead of overflowing for absurd rectangles.
std::int32_t ShiftedPosition(std::uint16_t stored, std::int32_t originCells) {
  return static_cast<std::int32_t>(stored + static_cast<std::uint32_t>(originCells) * 32u);
}

// Room for a typical line: a unit type name and the numbers after it.
constexpr std::size_t kUnitLineLength = 128;

// The pairs after a unit's stats (Crew, In, U, V, Dir, Owner) and the line's end, spelled whole
// before they are appended: a mission has thousands of units.
constexpr UnitHead::Field kLinePairs[] = {UnitHead::kCrew, UnitHead::kIn,  UnitHead::kU,
                                          UnitHead::kV,    UnitHead::kDir, UnitHead::kOwner};
constexpr std::size_t LinePairsRoom() {
  std::size_t room = 2;  // " \n"
  for (const UnitHead::Field field : kLinePairs) room += 2 + UnitHead::kFields[field].name.size() + kPairNumberRoom;
  return room;
}

}  // namespace

std::string ConvertUnitRecord(const UnitHead& head, std::span<const CrewRecord> crew, const NameTable& names,
                              const format::MissionRectangle& rect) {
  std::string text;
  text.reserve(kUnitLineLength * (1 + crew.size()));  // one allocation for the unit and its crew
  AppendUnitRecord(text, head, crew, names, rect);
  return text;
}

void AppendUnitRecord(std::string& text, const UnitHead& head, std::span<const CrewRecord> crew, const NameTable& names,
                      const format::MissionRectangle& rect) {
  AppendStatPairs(text, {head.ID, head.HP, head.Ammo, head.Expa, head.Morale, head.Lives, head.Grp}, names);
  // " Crew=N", " In=N" only when the unit carries passengers (as AppendCrewAndIn), the position and
  // the rest.
  const auto& fields = UnitHead::kFields;
  char line[LinePairsRoom()];
  char* at = SpellNamedPair(line, fields[UnitHead::kCrew].name, head.Crew);
  if (head.In != 0) at = SpellNamedPair(at, fields[UnitHead::kIn].name, head.In);
  at = SpellNamedPair(at, fields[UnitHead::kU].name, ShiftedPosition(head.U, rect.x0));
  at = SpellNamedPair(at, fields[UnitHead::kV].name, ShiftedPosition(head.V, rect.y0));
  at = SpellNamedPair(at, fields[UnitHead::kDir].name, head.Dir);
  at = SpellNamedPair(at, fields[UnitHead::kOwner].name, head.Owner);
  *at++ = ' ';
  *at++ = '\n';
  text.append(line, at);
  AppendCrewLines(text, crew, names, CrewTypeNumber::Narrow16);
}

}  // namespace kartwerk::records

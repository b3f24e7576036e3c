#include "convert/records/support.hpp"

#include "convert/records/unit_text.hpp"

namespace kartwerk::records {

SupportFlagRecord SupportFlagRecord::Decode(std::span<const std::uint8_t> record) {
  const FieldReader<kFields> f(record);
  return {f.I32<kFirstX>(), f.I32<kFirstY>(), f.I32<kSecondX>(), f.I32<kSecondY>(), f.I32<kFlagParam>()};
}

SupportUnitHead SupportUnitHead::Decode(std::span<const std::uint8_t> record) {
  const FieldReader<kFields> f(record);
  SupportUnitHead h;
  h.DecodeStart(f.Bytes<kStart>());
  h.ID = f.U32<kID>();
  h.In = f.U8<kIn>();
  h.Crew = f.U8<kCrew>();
  return h;
}

namespace {

// Flag points are cells, so the origin is added as it is (unit positions, by contrast, are
// in 32nds of a cell). The sum wraps at 32 bits rather than overflowing.
std::int32_t ShiftedCell(std::int32_t stored, std::int32_t originCells) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(stored) + static_cast<std::uint32_t>(originCells));
}

}  // namespace

std::string ConvertSupportFlag(const SupportFlagRecord& flag, const format::MissionRectangle& rect) {
  if (flag.firstX == -1) return "flag -1,-1,0,-1,-1\n";
  return "flag " + std::to_string(ShiftedCell(flag.firstX, rect.x0)) + ',' +
         std::to_string(ShiftedCell(flag.firstY, rect.y0)) + ',' + std::to_string(flag.flagParam) + ',' +
         std::to_string(ShiftedCell(flag.secondX, rect.x0)) + ',' + std::to_string(ShiftedCell(flag.secondY, rect.y0)) +
         '\n';
}

std::string ConvertSupportUnit(const SupportUnitHead& head, std::span<const CrewRecord> crew, const NameTable& names) {
  std::string text;
  text.reserve(128 * (1 + crew.size()));  // one allocation for the unit and its crew
  AppendStatPairs(text, {head.ID, head.HP, head.Ammo, head.Expa, head.Morale, head.Lives, head.Grp}, names);
  AppendCrewAndIn(text, head.Crew, head.In);
  text += " \n";
  AppendCrewLines(text, crew, names, CrewTypeNumber::Wide32);
  return text;
}

}  // namespace kartwerk::records

#include "convert/records/units.hpp"

#include <charconv>
#include <cstring>

#include "convert/records/unit_text.hpp"

namespace kartwerk {

void UnitRecordStart::DecodeStart(std::span<const std::uint8_t> r) {
  Grp = ByteAt(r, 0);
  HP = ByteAt(r, 1);
  Ammo = ByteAt(r, 2);
  Expa = ByteAt(r, 3);
  Lives = ByteAt(r, 4);
  Morale = ByteAt(r, 5);
}

CrewRecord CrewRecord::Decode(std::span<const std::uint8_t> r) {
  CrewRecord c;
  c.DecodeStart(r);
  c.ID = U16At(r, 6);
  c.IDHigh = U16At(r, 8);
  return c;
}

UnitHead UnitHead::Decode(std::span<const std::uint8_t> r) {
  UnitHead h;
  h.DecodeStart(r);
  h.ID = U16At(r, 6);
  h.In = ByteAt(r, 10);
  h.Crew = ByteAt(r, 11);
  h.U = U16At(r, 12);
  h.V = U16At(r, 14);
  h.Dir = ByteAt(r, 16);
  h.Owner = ByteAt(r, 17);
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

template <std::size_t N>
void AppendNumber(std::string& out, const char (&key)[N], std::int32_t value) {
  char text[N - 1 + 11];  // the key and "-2147483648"
  std::memcpy(text, key, N - 1);
  out.append(text, std::to_chars(text + N - 1, text + sizeof text, value).ptr);
}

}  // namespace

std::string ConvertUnitRecord(const UnitHead& head, std::span<const CrewRecord> crew, const NameTable& names,
                              const MissionRectangle& rect) {
  std::string text;
  text.reserve(kUnitLineLength * (1 + crew.size()));  // one allocation for the unit and its crew
  AppendUnitRecord(text, head, crew, names, rect);
  return text;
}

void AppendUnitRecord(std::string& text, const UnitHead& head, std::span<const CrewRecord> crew, const NameTable& names,
                      const MissionRectangle& rect) {
  AppendStatPairs(text, {head.ID, head.HP, head.Ammo, head.Expa, head.Morale, head.Lives, head.Grp}, names);
  AppendCrewAndIn(text, head.Crew, head.In);
  AppendNumber(text, " U=", ShiftedPosition(head.U, rect.x0));
  AppendNumber(text, " V=", ShiftedPosition(head.V, rect.y0));
  AppendNumber(text, " Dir=", head.Dir);
  AppendNumber(text, " Owner=", head.Owner);
  text += " \n";
  AppendCrewLines(text, crew, names, CrewTypeNumber::Narrow16);
}

}  // namespace kartwerk

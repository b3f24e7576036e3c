// Support flags and support group units and their lines in the editor's "support" file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "convert/records/name_table.hpp"
#include "convert/records/units.hpp"
#include "format/conversion.hpp"

namespace kartwerk::records {

// One of the 16 support flags: two points in cells, relative to the mission rectangle,
// and a number between them. A firstX of -1 marks a flag that is not set.
struct SupportFlagRecord {
  static constexpr std::size_t kSize = 20;
  enum Field : std::size_t { kFirstX, kFirstY, kSecondX, kSecondY, kFlagParam };
  // A "flag" line writes no keys: its numbers are firstX, firstY, flagParam, secondX, secondY.
  static constexpr RecordFields<5> kFields{
      {{0, 4, "firstX"}, {4, 4, "firstY"}, {8, 4, "secondX"}, {12, 4, "secondY"}, {16, 4, "flagParam"}}};
  static_assert(FieldsFill(kFields, kSize));

  std::int32_t firstX = 0;
  std::int32_t firstY = 0;
  std::int32_t secondX = 0;
  std::int32_t secondY = 0;
  std::int32_t flagParam = 0;

  static SupportFlagRecord Decode(std::span<const std::uint8_t> record);
};

// The head of a unit record in a support group: the first 12 bytes of a map unit's head,
// without position, direction and owner, and with the type number spread over bytes 6 to 9.
struct SupportUnitHead : UnitRecordStart {
  static constexpr std::size_t kSize = 12;
  enum Field : std::size_t { kStart, kID, kIn, kCrew };
  static constexpr RecordFields<4> kFields{{{0, UnitRecordStart::kSize}, {6, 4, "ID"}, {10, 1, "In"}, {11, 1, "Crew"}}};
  static_assert(FieldsFill(kFields, kSize));

  std::uint32_t ID = 0;   // unit type number in the NameTable
  std::uint8_t In = 0;    // passengers
  std::uint8_t Crew = 0;  // crew members

  std::size_t SubRecordCount() const { return static_cast<std::size_t>(In) + Crew; }

  static SupportUnitHead Decode(std::span<const std::uint8_t> record);
};

// "flag x1,y1,param,x2,y2\n" with the points moved by the mission origin (in cells, unscaled);
// an unset flag always gives "flag -1,-1,0,-1,-1\n".
std::string ConvertSupportFlag(const SupportFlagRecord& flag, const format::MissionRectangle& rect);

// The text of one support group unit: its line (ending with the Crew or In pair, a space
// and a line feed) and one line per crew record, in the order of crew. Crew type numbers
// are read as 32 bits (CrewRecord::WideID).
std::string ConvertSupportUnit(const SupportUnitHead& head, std::span<const CrewRecord> crew, const NameTable& names);

}  // namespace kartwerk::records

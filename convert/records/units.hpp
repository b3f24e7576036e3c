// Unit records of the map units section and their lines in the editor's "mapunits" file.
//
// A unit record is an 18-byte UnitHead followed by In + Crew CrewRecords (its passengers
// and crew). The mapunits writer reads them and hands the head and the sub-records over
// in the order it wants them written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "convert/records/name_table.hpp"
#include "convert/records/record_fields.hpp"
#include "format/conversion.hpp"

namespace kartwerk::records {

// The six bytes every unit, support unit and crew record begins with.
struct UnitRecordStart {
  static constexpr std::size_t kSize = 6;
  enum Field : std::size_t { kGrp, kHP, kAmmo, kExpa, kLives, kMorale };
  static constexpr RecordFields<6> kFields{
      {{0, 1, "Grp"}, {1, 1, "HP"}, {2, 1, "Ammo"}, {3, 1, "Expa"}, {4, 1, "Lives"}, {5, 1, "Morale"}}};
  static_assert(FieldsFill(kFields, kSize));

  std::uint8_t Grp = 0;
  std::uint8_t HP = 0;
  std::uint8_t Ammo = 0;
  std::uint8_t Expa = 0;
  std::uint8_t Lives = 0;
  std::uint8_t Morale = 0;

  // Reads the six bytes a record starts with (its kStart field); bytes missing read as zero.
  void DecodeStart(std::span<const std::uint8_t> start);
};

// One passenger or crew member: 10 bytes.
struct CrewRecord : UnitRecordStart {
  static constexpr std::size_t kSize = 10;
  enum Field : std::size_t { kStart, kID, kIDHigh };
  static constexpr RecordFields<3> kFields{{{0, UnitRecordStart::kSize}, {6, 2, "ID"}, {8, 2}}};
  static_assert(FieldsFill(kFields, kSize));

  std::uint16_t ID = 0;      // unit type number in the NameTable
  std::uint16_t IDHigh = 0;  // unused by map units; support groups read ID and IDHigh as one number

  // Bytes 6 to 9 as one 32-bit type number, the way support groups store it.
  std::uint32_t WideID() const { return ID | (static_cast<std::uint32_t>(IDHigh) << 16); }

  // Decodes a record; bytes missing from a short record read as zero.
  static CrewRecord Decode(std::span<const std::uint8_t> record);
};

// The head of a unit record in the map units section: 18 bytes.
struct UnitHead : UnitRecordStart {
  static constexpr std::size_t kSize = 18;
  enum Field : std::size_t { kStart, kID, kUnused, kIn, kCrew, kU, kV, kDir, kOwner };
  static constexpr RecordFields<9> kFields{{{0, UnitRecordStart::kSize},
                                            {6, 2, "ID"},
                                            {8, 2},
                                            {10, 1, "In"},
                                            {11, 1, "Crew"},
                                            {12, 2, "U"},
                                            {14, 2, "V"},
                                            {16, 1, "Dir"},
                                            {17, 1, "Owner"}}};
  static_assert(FieldsFill(kFields, kSize));

  std::uint16_t ID = 0;
  std::uint8_t In = 0;    // passengers
  std::uint8_t Crew = 0;  // crew members
  std::uint16_t U = 0;    // position units (32 per cell), relative to the mission rectangle
  std::uint16_t V = 0;
  std::uint8_t Dir = 0;
  std::uint8_t Owner = 0;

  // Number of CrewRecords that follow the head in the section.
  std::size_t SubRecordCount() const { return static_cast<std::size_t>(In) + Crew; }

  static UnitHead Decode(std::span<const std::uint8_t> record);
};

// The text of one unit: its line (" ID=... Owner=N \n") followed by one line per crew
// record, in the order of crew. U and V are moved by the mission rectangle's origin
// (x0, y0 cells of 32 position units each) to whole-map positions.
std::string ConvertUnitRecord(const UnitHead& head, std::span<const CrewRecord> crew, const NameTable& names,
                              const format::MissionRectangle& rect);
// The same text appended to out (the "mapunits" writer reuses one string for every unit).
void AppendUnitRecord(std::string& out, const UnitHead& head, std::span<const CrewRecord> crew, const NameTable& names,
                      const format::MissionRectangle& rect);

}  // namespace kartwerk::records

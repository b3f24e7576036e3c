// Player records and their blocks in the editor's "players" file.
//
// The players writer puts the header line "Player N\n " in front of each block (and gives
// some players a stand-in name first); the block's first line continues after that space.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "convert/records/record_fields.hpp"

namespace kartwerk::records {

// How far a player's block indents its lines: its own values and the headings of its aircraft
// kinds and descents by one space, the entries under a heading by two.
inline constexpr std::size_t kPlayerLineIndent = 1;
inline constexpr std::size_t kPlayerEntryIndent = 2;

// One aircraft kind's entry: 44 bytes, its lines in the order of its fields.
struct AircraftEntry {
  static constexpr std::size_t kSize = 44;
  enum Field : std::size_t { kUnitName, kNumber, kBombs, kReload };
  static constexpr RecordFields<4> kFields{{{0, 32, "ID"}, {32, 4, "Number"}, {36, 4, "Bombs"}, {40, 4, "Reload"}}};
  static_assert(FieldsFill(kFields, kSize));
  static constexpr std::array<Field, 4> kLineOrder{kUnitName, kNumber, kBombs, kReload};
  static_assert(ListsEachFieldOnce<kFields.size()>(kLineOrder));

  std::string unitName;  // up to the first zero byte, at most 32 bytes
  std::int32_t number = 0;
  std::int32_t bombs = 0;
  std::int32_t reload = 0;

  static AircraftEntry Decode(std::span<const std::uint8_t> record);
};

// One descent (airborne landing) entry: 70 bytes. Its lines give each unit name with its number.
struct DescentEntry {
  static constexpr std::size_t kSize = 70;
  enum Field : std::size_t {
    kGroup,
    kExpa,
    kUnitName0,
    kUnitName1,
    kUnitName2,
    kUnitName3,
    kNumber0,
    kNumber1,
    kNumber2,
    kNumber3
  };
  static constexpr RecordFields<10> kFields{{{0, 1, "group"},
                                             {1, 1, "expa"},
                                             {2, 16, "ID 0"},
                                             {18, 16, "ID 1"},
                                             {34, 16, "ID 2"},
                                             {50, 16, "ID 3"},
                                             {66, 1, "number 0"},
                                             {67, 1, "number 1"},
                                             {68, 1, "number 2"},
                                             {69, 1, "number 3"}}};
  static_assert(FieldsFill(kFields, kSize));
  static constexpr std::array<Field, 10> kLineOrder{kGroup,   kExpa,      kUnitName0, kNumber0,   kUnitName1,
                                                    kNumber1, kUnitName2, kNumber2,   kUnitName3, kNumber3};
  static_assert(ListsEachFieldOnce<kFields.size()>(kLineOrder));

  std::uint8_t group = 0;
  std::uint8_t expa = 0;
  std::array<std::string, 4> unitNames;  // each up to its first zero byte, at most 16 bytes
  std::array<std::uint8_t, 4> numbers{};

  static DescentEntry Decode(std::span<const std::uint8_t> record);
};

// The aircraft kinds in the order of a player's aircraft entries: the headings of their lines.
inline constexpr std::array<std::string_view, 5> kAircraftKinds = {"plane bomber", "plane spy", "plane transport",
                                                                   "plane boxer", "plane interceptor"};

// One player: 397 bytes, packed. An aircraft kind's or a descent's field is the heading its
// entry's lines stand under; the block lists the fields in kLineOrder.
struct PlayerRecord {
  static constexpr std::size_t kSize = 397;
  static constexpr std::size_t kNameWidth = 32;
  enum Field : std::size_t {
    kName,
    kTeam,
    kColour,
    kNation,
    kPlanesdir,
    kPlaneBomber,
    kPlaneSpy,
    kPlaneTransport,
    kPlaneBoxer,
    kPlaneInterceptor,
    kDescent0,
    kDescent1
  };
  static constexpr RecordFields<12> kFields{{{0, kNameWidth, "name"},
                                             {32, 1, "team"},
                                             {33, 2, "color"},
                                             {35, 1, "nation"},
                                             {36, 1, "planesdir"},
                                             {37, AircraftEntry::kSize, kAircraftKinds[0]},
                                             {81, AircraftEntry::kSize, kAircraftKinds[1]},
                                             {125, AircraftEntry::kSize, kAircraftKinds[2]},
                                             {169, AircraftEntry::kSize, kAircraftKinds[3]},
                                             {213, AircraftEntry::kSize, kAircraftKinds[4]},
                                             {257, DescentEntry::kSize, "descent 0"},
                                             {327, DescentEntry::kSize, "descent 1"}}};
  static_assert(FieldsFill(kFields, kSize));
  static constexpr std::array<Field, 12> kLineOrder{
      kName,           kTeam,       kNation,           kColour,   kPlaneBomber, kPlaneSpy,
      kPlaneTransport, kPlaneBoxer, kPlaneInterceptor, kDescent0, kDescent1,    kPlanesdir};
  static_assert(ListsEachFieldOnce<kFields.size()>(kLineOrder));

  // Whether a field is an aircraft kind's or a descent's entry (a heading with lines under it).
  static constexpr bool IsAircraft(Field field) { return field >= kPlaneBomber && field <= kPlaneInterceptor; }
  static constexpr bool IsDescent(Field field) { return field == kDescent0 || field == kDescent1; }

  std::string name;  // up to the first zero byte, at most 32 bytes
  std::uint8_t team = 0;
  std::uint16_t colour = 0;  // 16-bit colour, 5 bits red, 7 green, 4 blue from the top
  std::uint8_t nation = 0;
  std::uint8_t planesdir = 0;  // direction the aircraft come from
  std::array<AircraftEntry, kAircraftKinds.size()> aircraft;
  std::array<DescentEntry, 2> descents;

  // Decodes a record; bytes missing from a short record read as zero. Texts stop at their
  // first zero byte and never run past their field.
  static PlayerRecord Decode(std::span<const std::uint8_t> record);
};

// The player's colour as the editor's "red green blue" components.
struct PlayerColour {
  unsigned red = 0, green = 0, blue = 0;
};
PlayerColour ColourComponents(std::uint16_t colour);

// The player's block, from "name=" to the "planesdir=" line, in kLineOrder: "key=value" lines, a
// heading line of its own for each aircraft kind and descent with their entries' lines under it.
std::string ConvertPlayerRecord(const PlayerRecord& player);

}  // namespace kartwerk::records

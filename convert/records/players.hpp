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

namespace kartwerk::records {

// One aircraft kind's entry: 44 bytes.
struct AircraftEntry {
  static constexpr std::size_t kSize = 44;
  std::string unitName;     // offset 0: 32-byte field
  std::int32_t number = 0;  // 32
  std::int32_t bombs = 0;   // 36
  std::int32_t reload = 0;  // 40
};

// One descent (airborne landing) entry: 70 bytes.
struct DescentEntry {
  static constexpr std::size_t kSize = 70;
  std::uint8_t group = 0;                 // offset 0
  std::uint8_t expa = 0;                  // 1
  std::array<std::string, 4> unitNames;   // 2: four 16-byte fields
  std::array<std::uint8_t, 4> numbers{};  // 66
};

// The aircraft kinds in the order of a player's aircraft entries.
inline constexpr std::array<std::string_view, 5> kAircraftKinds = {"plane bomber", "plane spy", "plane transport",
                                                                   "plane boxer", "plane interceptor"};

// One player: 397 bytes, packed.
struct PlayerRecord {
  static constexpr std::size_t kSize = 397;
  static constexpr std::size_t kNameWidth = 32;

  std::string name;            // offset 0: 32-byte field
  std::uint8_t team = 0;       // 32
  std::uint16_t colour = 0;    // 33: 16-bit colour, 5 bits red, 7 green, 4 blue from the top
  std::uint8_t nation = 0;     // 35
  std::uint8_t planesdir = 0;  // 36: direction the aircraft come from
  std::array<AircraftEntry, kAircraftKinds.size()> aircraft;  // 37
  std::array<DescentEntry, 2> descents;                       // 257

  // Decodes a record; bytes missing from a short record read as zero. Texts stop at their
  // first zero byte and never run past their field.
  static PlayerRecord Decode(std::span<const std::uint8_t> record);
};

// The player's colour as the editor's "red green blue" components.
struct PlayerColour {
  unsigned red = 0, green = 0, blue = 0;
};
PlayerColour ColourComponents(std::uint16_t colour);

// The player's block, from "name=" to the "planesdir=" line; continuation lines are indented
// by one space, the entries under an aircraft kind or a descent by two.
std::string ConvertPlayerRecord(const PlayerRecord& player);

}  // namespace kartwerk::records

// Group converter: one AI group record of a mission becomes the three lines the editor
// keeps for the group in "groups" (AI type and partners, behaviour flags, reserve and
// starting state).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kartwerk {

// The stored group record, 28 bytes, little-endian:
//   0 u32 AI type (bits 0-3) and behaviour flags (bits 4-31)
//   4 u8 zone 1, 5 u8 zone 2, 6 u8 group 1, 7 u8 group 2, 8 u8 reserve flag, 9 u8 reserve zone
//  10 i32 attack time (ticks), 14 i32 delay (ticks), 18 u16 minimum, 20 i32 force (ticks)
//  24 u8 hp, 25 u8 ammo, 26 u8 expa, 27 u8 morale
// Delay and force hold 7FFFFFFF when the group has none; 25 ticks are one second.
inline constexpr std::size_t kGroupRecordSize = 28;
using GroupRecord = std::array<std::uint8_t, kGroupRecordSize>;

// The record multiplayer maps, which store no AI groups, are written with: all zero apart
// from hp 100, ammo 100 and morale 50.
inline constexpr GroupRecord DefaultGroupRecord = [] {
  GroupRecord record{};
  record[24] = 100;  // hp
  record[25] = 100;  // ammo
  record[27] = 50;   // morale
  return record;
}();

// The three lines of a group, each ended by a line feed:
//   ' ai type="..." group1=.. group2=.. zone1=.. zone2=..'
//   '  aiflags= aif_...'
//   ' reserv auto=.. delay=.. min=.. force=.. atime=.. flag=.. zone=.. hp=.. ammo=.. expa=.. morale=..'
std::string ConvertGroupRecord(const GroupRecord& record);

}  // namespace kartwerk

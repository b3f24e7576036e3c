// Group converter: one AI group record of a mission becomes the three lines the editor
// keeps for the group in "groups" (AI type and partners, behaviour flags, reserve and
// starting state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "convert/records/record_fields.hpp"

namespace kartwerk::records {

// The stored group record, 28 bytes, little-endian. Delay and force hold 7FFFFFFF when the
// group has none; times are in ticks, 25 to a second.
struct GroupRecord {
  static constexpr std::size_t kSize = 28;
  enum Field : std::size_t {
    kTypeAndFlags,
    kZone1,
    kZone2,
    kGroup1,
    kGroup2,
    kReserveFlag,
    kReserveZone,
    kAttackTime,
    kDelay,
    kMinimum,
    kForce,
    kHp,
    kAmmo,
    kExpa,
    kMorale
  };
  // The type and flags field is written as "ai type" and "aiflags"; "reserv auto" is made from
  // atime, min and force.
  static constexpr RecordFields<15> kFields{{{0, 4, "ai type"},
                                             {4, 1, "zone1"},
                                             {5, 1, "zone2"},
                                             {6, 1, "group1"},
                                             {7, 1, "group2"},
                                             {8, 1, "flag"},
                                             {9, 1, "zone"},
                                             {10, 4, "atime"},
                                             {14, 4, "delay"},
                                             {18, 2, "min"},
                                             {20, 4, "force"},
                                             {24, 1, "hp"},
                                             {25, 1, "ammo"},
                                             {26, 1, "expa"},
                                             {27, 1, "morale"}}};
  static constexpr std::string_view kFlagsKey = "aiflags";
  static constexpr std::string_view kReserveKey = "reserv auto";
  static_assert(FieldsFill(kFields, kSize));

  std::uint32_t typeAndFlags = 0;  // AI type (bits 0-3) and behaviour flags (bits 4-31)
  std::uint8_t zone1 = 0, zone2 = 0, group1 = 0, group2 = 0;
  std::uint8_t reserveFlag = 0, reserveZone = 0;
  std::int32_t attackTime = 0, delay = 0;
  std::uint16_t minimum = 0;
  std::int32_t force = 0;
  std::uint8_t hp = 0, ammo = 0, expa = 0, morale = 0;

  // Reads the little-endian record; bytes missing from a short record read as 0.
  static GroupRecord Decode(std::span<const std::uint8_t> record);
};

// The record multiplayer maps, which store no AI groups, are written with: all zero apart
// from hp 100, ammo 100 and morale 50.
inline constexpr GroupRecord DefaultGroupRecord = [] {
  GroupRecord record;
  record.hp = 100;
  record.ammo = 100;
  record.morale = 50;
  return record;
}();

// The three lines of a group, each ended by a line feed:
//   ' ai type="..." group1=.. group2=.. zone1=.. zone2=..'
//   '  aiflags= aif_...'
//   ' reserv auto=.. delay=.. min=.. force=.. atime=.. flag=.. zone=.. hp=.. ammo=.. expa=.. morale=..'
std::string ConvertGroupRecord(const GroupRecord& record);

}  // namespace kartwerk::records

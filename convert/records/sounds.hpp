// Sounds placed on the map and their blocks in the editor's "sounds" file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "convert/records/record_fields.hpp"

namespace kartwerk::records {

// One sound: 78 bytes.
struct SoundRecord {
  static constexpr std::size_t kSize = 78;
  enum Field : std::size_t { kName, kU, kV, kRadius, kWorse, kMinWait, kMaxWait };
  static constexpr RecordFields<7> kFields{{{0, 64, "Name"},
                                            {64, 2, "U"},
                                            {66, 2, "V"},
                                            {68, 2, "Radius"},
                                            {70, 4, "Worse"},
                                            {74, 2, "MinWait"},
                                            {76, 2, "MaxWait"}}};
  static_assert(FieldsFill(kFields, kSize));

  std::string Name;     // up to the first zero byte, at most 64 bytes
  std::uint16_t U = 0;  // position as stored (not moved by the mission rectangle)
  std::uint16_t V = 0;
  std::uint16_t Radius = 0;
  float Worse = 0;  // IEEE 754 single
  std::uint16_t MinWait = 0;
  std::uint16_t MaxWait = 0;

  static SoundRecord Decode(std::span<const std::uint8_t> record);
};

// The sound's block: Name="..", U, V, Radius, Worse (six decimals, always with a point),
// MinWait and MaxWait, one key=value per line, then an empty line. A Worse that is not a
// finite number is written "INF", "-INF" or "NAN".
std::string ConvertSoundRecord(const SoundRecord& sound);

}  // namespace kartwerk::records

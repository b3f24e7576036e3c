#include "convert/records/sounds.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

#include "core/byte_stream.hpp"

namespace kartwerk {

SoundRecord SoundRecord::Decode(std::span<const std::uint8_t> r) {
  SoundRecord s;
  s.Name = FixedText(r.first(std::min(r.size(), kNameWidth)));
  s.U = U16At(r, 64);
  s.V = U16At(r, 66);
  s.Radius = U16At(r, 68);
  s.Worse = std::bit_cast<float>(U32At(r, 70));
  s.MinWait = U16At(r, 74);
  s.MaxWait = U16At(r, 76);
  return s;
}

namespace {

// "%2.6f" without the process locale: the editor reads a point as the decimal separator
// whatever the user's system is set to, so the C library's locale-aware printf is avoided.
std::string FormatWorse(float value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  // The largest single needs 39 digits before the point; 64 leaves room for sign and decimals.
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed, 6);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string ConvertSoundRecord(const SoundRecord& sound) {
  std::string text;
  text += "Name=\"" + sound.Name + "\"\n";
  text += "U=" + std::to_string(sound.U) + '\n';
  text += "V=" + std::to_string(sound.V) + '\n';
  text += "Radius=" + std::to_string(sound.Radius) + '\n';
  text += "Worse=" + FormatWorse(sound.Worse) + '\n';
  text += "MinWait=" + std::to_string(sound.MinWait) + '\n';
  text += "MaxWait=" + std::to_string(sound.MaxWait) + '\n';
  text += '\n';
  return text;
}

}  // namespace kartwerk

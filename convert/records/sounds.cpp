#include "convert/records/sounds.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

#include "core/byte_stream.hpp"

namespace kartwerk::records {

SoundRecord SoundRecord::Decode(std::span<const std::uint8_t> record) {
  const FieldReader<kFields> f(record);
  return {f.Text<kName>(), f.U16<kU>(),       f.U16<kV>(),      f.U16<kRadius>(),
          f.F32<kWorse>(), f.U16<kMinWait>(), f.U16<kMaxWait>()};
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
  using F = SoundRecord;
  std::string text;
  const auto line = [&text](std::size_t field, const std::string& value) {
    text += F::kFields[field].name;
    text += '=';
    text += value;
    text += '\n';
  };
  line(F::kName, '"' + sound.Name + '"');
  line(F::kU, std::to_string(sound.U));
  line(F::kV, std::to_string(sound.V));
  line(F::kRadius, std::to_string(sound.Radius));
  line(F::kWorse, FormatWorse(sound.Worse));
  line(F::kMinWait, std::to_string(sound.MinWait));
  line(F::kMaxWait, std::to_string(sound.MaxWait));
  text += '\n';
  return text;
}

}  // namespace kartwerk::records

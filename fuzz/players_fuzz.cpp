// One player record of arbitrary bytes: names without terminators, any colour and counts.
#include "convert/records/players.hpp"
#include "fuzz/fuzz_input.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::fuzz::FuzzInput input(data, size);
  const auto player = kartwerk::records::PlayerRecord::Decode(input.Take<kartwerk::records::PlayerRecord::kSize>());
  if (player.name.size() > kartwerk::records::PlayerRecord::kNameWidth) __builtin_trap();
  const kartwerk::records::PlayerColour colour = kartwerk::records::ColourComponents(player.colour);
  if (colour.red > 255 || colour.green > 255 || colour.blue > 255) __builtin_trap();
  if (kartwerk::records::ConvertPlayerRecord(player).empty()) __builtin_trap();
  return 0;
}

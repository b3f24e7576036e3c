// One sound record: any float in Worse (infinities and NaNs included) and any name bytes.
#include "convert/records/sounds.hpp"
#include "fuzz/fuzz_input.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::fuzz::FuzzInput input(data, size);
  const auto sound = kartwerk::records::SoundRecord::Decode(input.Take<kartwerk::records::SoundRecord::kSize>());
  if (sound.Name.size() > kartwerk::records::SoundRecord::kNameWidth) __builtin_trap();
  const std::string text = kartwerk::records::ConvertSoundRecord(sound);
  if (text.empty() || text.back() != '\n') __builtin_trap();
  return 0;
}

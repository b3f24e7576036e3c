// One sound record: any float in Worse (infinities and NaNs included) and any name bytes.
#include "convert/records/sounds.hpp"
#include "fuzz/fuzz_input.hpp"
#include "fuzz/fuzz_target.hpp"

using kartwerk::records::SoundRecord;

// The name field's width, as the record's field list gives it.
constexpr std::size_t kNameWidth = SoundRecord::kFields[SoundRecord::kName].width;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::fuzz::FuzzInput input(data, size);
  const auto sound = SoundRecord::Decode(input.Take<SoundRecord::kSize>());
  if (sound.Name.size() > kNameWidth) __builtin_trap();
  const std::string text = kartwerk::records::ConvertSoundRecord(sound);
  if (text.empty() || text.back() != '\n') __builtin_trap();
  return 0;
}

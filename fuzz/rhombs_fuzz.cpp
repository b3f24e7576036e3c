// One compiled terrain record under both tile schemes: every tile code falls in a class, and
// the editor record keeps the code and the level's low bits.
#include "convert/records/beach_island_rhombs.hpp"
#include "convert/records/normal_rhombs.hpp"
#include "fuzz/fuzz_input.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::fuzz::FuzzInput input(data, size);
  const auto rhomb = kartwerk::records::CompiledRhomb::Decode(input.Take<kartwerk::records::CompiledRhomb::kSize>());
  for (const kartwerk::records::EditorRhomb& out :
       {kartwerk::records::ConvertRhomb(rhomb), kartwerk::records::ConvertRhomb2(rhomb)}) {
    if (out.tileCode != rhomb.tileCode || out.shape > 12) __builtin_trap();
    if (out.levelLow != ((rhomb.levelWord & 0x0F) << 4) || out.levelHigh != (rhomb.levelWord > 15 ? 1 : 0)) {
      __builtin_trap();
    }
    out.Bytes();
  }
  return 0;
}

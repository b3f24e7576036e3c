// The three compiled cell-flag sections and a cliff grid of arbitrary lengths: one word per
// whole 4-byte record, bits 7, 8 and 15 never set.
#include "convert/records/cell_flags.hpp"
#include "fuzz/fuzz_input.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::fuzz::FuzzInput input(data, size);
  const auto records4 = input.Take(input.U16() % 8192);
  const auto records1 = input.Take(input.U16() % 4096);
  const auto records2 = input.Take(input.U16() % 4096);
  const auto cliffGrid = input.Rest();
  const auto words = kartwerk::records::ComputeCellFlags(records4, records1, records2, cliffGrid);
  if (words.size() != records4.size() / 4) __builtin_trap();
  for (std::uint16_t word : words) {
    if (word & 0x8180) __builtin_trap();
  }
  return 0;
}

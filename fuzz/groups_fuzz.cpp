// One group record of arbitrary bytes.
#include "convert/records/groups.hpp"
#include "fuzz/fuzz_input.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::fuzz::FuzzInput input(data, size);
  const auto record = kartwerk::records::GroupRecord::Decode(input.Take<kartwerk::records::GroupRecord::kSize>());
  const std::string text = kartwerk::records::ConvertGroupRecord(record);
  if (text.empty() || text.back() != '\n') __builtin_trap();
  return 0;
}

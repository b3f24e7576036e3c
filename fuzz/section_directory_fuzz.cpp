// Arbitrary bytes as a decompressed container: the section directory read from them must
// stay within the container and within its 37 entries, whatever the sizes claim.
#include "format/section_directory.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::core::ByteStream stream;
  stream.Load(kartwerk::core::Bytes(data, data + size));
  kartwerk::format::SectionTable directory;
  directory.count = 5;  // left over from an earlier container: must be cleared
  const std::uint8_t miniCount = kartwerk::format::ReadSectionDirectory(stream, directory);

  if (directory.count > kartwerk::format::kMaxSections || miniCount > directory.count) __builtin_trap();
  for (std::size_t i = 0; i < directory.count; ++i) {
    const kartwerk::format::SectionEntry& entry = directory[i];
    // Each entry's whole 16-byte head lies inside the container, so its data begins no later
    // than the end. (A negative size may step back to an earlier entry; the 37-entry limit
    // ends that.)
    if (entry.offset < 16 || entry.offset > stream.size()) __builtin_trap();
    if (entry.name.size() > 12) __builtin_trap();
  }
  if (!directory[kartwerk::format::kMaxSections + 3].name.empty()) __builtin_trap();
  return 0;
}

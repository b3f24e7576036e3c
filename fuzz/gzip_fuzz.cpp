// Decompresses arbitrary bytes as a compiled map file. Damaged input must end in an
// EGZipError, and whatever name the header stores, the output stays in its folder.
#include <cstdio>
#include <filesystem>

#include "core/gzip_file.hpp"
#include "core/temp_folder.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::PrivateTempFolder temp;
  const auto source = temp.path() / "map.qdm";
  const auto out = temp.path() / "out";
  std::filesystem::create_directory(out);
  if (std::FILE* f = std::fopen(source.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  try {
    const auto written = kartwerk::GunzipToFolder(source, out);
    if (written.parent_path() != out) __builtin_trap();
    kartwerk::ReadGzFileInfo(source);
  } catch (const kartwerk::EGZipError&) {
  }
  return 0;
}

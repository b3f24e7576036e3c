// Arbitrary bytes as a compiled map file: the gzip layer, then staging of each map kind.
// Damaged input must end in an EGZipError or a clear staging error; whatever name the header
// stores, every file written stays in its folder, and staging writes only into its own folder.
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "core/gzip_file.hpp"
#include "core/staging.hpp"
#include "core/temp_folder.hpp"
#include "fuzz/fuzz_target.hpp"

namespace fs = std::filesystem;

namespace {

void WriteInput(const fs::path& file, const std::uint8_t* data, std::size_t size) {
  if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
}

// Nothing may appear below the output folder but plain files directly in it.
void RequireFlatFolder(const fs::path& folder) {
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.path().parent_path() != folder || !entry.is_regular_file()) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::PrivateTempFolder temp;
  const fs::path maps = temp.path() / "maps";
  const fs::path out = temp.path() / "out";
  fs::create_directory(maps);
  fs::create_directory(out);

  const fs::path source = maps / "map.qdm";
  WriteInput(source, data, size);
  try {
    const fs::path written = kartwerk::GunzipToFolder(source, out);
    if (written.parent_path() != out) __builtin_trap();
    kartwerk::ReadGzFileInfo(source);
  } catch (const kartwerk::EGZipError&) {
  }

  // Staging the same bytes as each kind; the campaign's main file has one mission file beside it.
  WriteInput(maps / "0030001.qdc", data, size);
  const struct {
    const char* name;
    kartwerk::MapKindCode kind;
  } kinds[] = {{"map.qdm", kartwerk::SinglePlayerMap},
               {"map.qdp", kartwerk::MultiplayerMap},
               {"003.qdc", kartwerk::CampaignMap}};
  for (const auto& [name, kind] : kinds) {
    const fs::path map = maps / name;
    WriteInput(map, data, size);
    const fs::path staged = temp.path() / (std::string("staged-") + name);
    fs::create_directory(staged);
    kartwerk::Conversion conversion;
    conversion.TempFolder = staged;
    conversion.MapKind = kind;
    try {
      kartwerk::StageMapFile(conversion, map);
      if (kind == kartwerk::CampaignMap) kartwerk::LoadMissionFile(conversion, 0);
    } catch (const std::exception&) {
    }
    // Staging inflates into memory: it writes nothing, not even into the temporary folder.
    if (!fs::is_empty(staged)) __builtin_trap();
  }
  RequireFlatFolder(out);
  return 0;
}

// Arbitrary bytes as a compiled map file: the gzip layer, then staging of each map kind.
// Damaged input must end in an GzipError or a clear staging error; whatever name the header
// stores, the name read from it is a plain file name, and staging writes nothing at all.
// FIFOs and links named as missions beside a campaign are refused without blocking.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "format/gzip_file.hpp"
#include "format/staging.hpp"
#include "fuzz/fuzz_target.hpp"
#include "platform/temp_folder.hpp"

namespace fs = std::filesystem;

namespace {

void WriteInput(const fs::path& file, const std::uint8_t* data, std::size_t size) {
  if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
}

// Every entry below folder, links not followed.
std::size_t EntryCount(const fs::path& folder) {
  std::size_t count = 0;
  for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) ++count;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kartwerk::platform::PrivateTempFolder temp;
  const fs::path maps = temp.path() / "maps";
  const fs::path elsewhere = temp.path() / "elsewhere";
  fs::create_directory(maps);
  fs::create_directory(elsewhere);

  const fs::path source = maps / "map.qdm";
  WriteInput(source, data, size);
  try {
    kartwerk::format::GunzipToMemory(source);
    // The name a header gives never names a folder.
    const std::string name = kartwerk::format::ReadGzFileInfo(source).name;
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) {
      __builtin_trap();
    }
  } catch (const kartwerk::format::GzipError&) {
  }

  // Staging the same bytes as each kind; the campaign's main file has one mission file beside it.
  WriteInput(maps / "0030001.qdc", data, size);
  // For inputs of odd length the campaign's folder also holds what an unpacked archive may hold:
  // a FIFO, a link to a file outside the folder, a link to nothing and a link to a folder, each
  // named as a mission. Staging must refuse them, never block on the FIFO or read through a link.
  if (size % 2 == 1) {
    const fs::path outside = temp.path() / "outside.qdc";
    WriteInput(outside, data, size);
    ::mkfifo((maps / "0030002.qdc").c_str(), 0600);
    fs::create_symlink(outside, maps / "0030003.qdc");
    fs::create_symlink(temp.path() / "missing.qdc", maps / "0030004.qdc");
    fs::create_directory_symlink(elsewhere, maps / "0030005.qdc");
  }
  const struct {
    const char* name;
    kartwerk::format::MapKindCode kind;
  } kinds[] = {{"map.qdm", kartwerk::format::SinglePlayerMap},
               {"map.qdp", kartwerk::format::MultiplayerMap},
               {"003.qdc", kartwerk::format::CampaignMap}};
  for (const auto& [name, kind] : kinds) {
    const fs::path map = maps / name;
    WriteInput(map, data, size);
    const std::size_t before = EntryCount(temp.path());
    kartwerk::format::Conversion conversion;
    conversion.MapKind = kind;
    bool staged_ok = false;
    try {
      kartwerk::format::StageMapFile(conversion, map);
      staged_ok = true;
      if (kind == kartwerk::format::CampaignMap) kartwerk::format::LoadMissionFile(conversion, 0);
    } catch (const std::exception&) {
    }
    // A campaign beside a FIFO or a link out of its folder is never staged.
    if (staged_ok && kind == kartwerk::format::CampaignMap && size % 2 == 1) __builtin_trap();
    // Staging inflates into memory: it writes nothing.
    if (EntryCount(temp.path()) != before) __builtin_trap();
  }
  return 0;
}

// make_bounded_maps FOLDER [MISSIONS]: writes the two inputs whose memory and time must stay
// bounded, and prints, one line each, the name and the path of the file to convert:
//   scripts   a single-player map whose scripts section is 64 MiB: one script of 16 million
//             statements (plain ones and the connectives that join them);
//   campaign  a campaign of MISSIONS mission files (default 255), each a whole 512 x 512 mission.
#include <iostream>
#include <string>

#include "format/section_directory.hpp"
#include "mapmaker/bench_maps.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"

namespace {

using namespace kartwerk;
using namespace kartwerk;

constexpr std::size_t kScriptSectionSize = 64u << 20;

// One script filling the section: a head, statements of one code item each, the end statement.
core::Bytes LongScriptSection() {
  core::Bytes section;
  section.reserve(kScriptSectionSize);
  core::PutU32(section, 1);  // one script
  core::PutU32(section, 0);  // its head
  core::PutU32(section, 0);
  // "scd" (one value slot, filled by its own code item), "and", "etc" (no items), "or": each
  // connective joins the two blocks before it, so the script stays valid to its end.
  const std::uint32_t cycle[] = {16, 1, 11, 2};
  core::PutU32(section, 16);
  for (std::size_t i = 0; section.size() + 4 < kScriptSectionSize; ++i) core::PutU32(section, cycle[i % 4]);
  core::PutU32(section, 0xFFFF);
  return section;
}

std::filesystem::path WriteScriptsMap(const std::filesystem::path& folder) {
  mapmaker::BenchMapOptions o;
  o.width = o.height = 64;
  const core::Bytes container = mapmaker::ReplaceSection(
      mapmaker::BenchMainContainer(o), format::SectionPosition(format::Section::Scripts, format::SinglePlayerMap),
      LongScriptSection());
  std::filesystem::create_directories(folder);
  const auto path = folder / "scripts.qdm";
  mapmaker::WriteBytes(path, mapmaker::Gzip(container, "scripts"));
  return path;
}

std::filesystem::path WriteCampaign(const std::filesystem::path& folder, int missions) {
  mapmaker::BenchMapOptions o;
  o.kind = format::CampaignMap;
  o.width = o.height = 512;
  o.missionSide = 512;
  o.units = 3000;
  o.scripts = 400;
  o.statementsPerScript = 16;
  o.missions = missions;
  std::filesystem::create_directories(folder);
  mapmaker::WriteBytes(folder / "905.qdc", mapmaker::Gzip(mapmaker::BenchMainContainer(o), "905"));
  for (int n = 0; n < missions; ++n) {
    const std::string name = "9050" + std::to_string(1000 + n).substr(1);
    mapmaker::WriteBytes(folder / (name + ".qdc"), mapmaker::Gzip(mapmaker::BenchMissionContainer(o, n), name));
  }
  return folder / "905.qdc";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: make_bounded_maps FOLDER [MISSIONS]\n";
    return 2;
  }
  try {
    const std::filesystem::path folder = argv[1];
    const int missions = argc > 2 ? std::stoi(argv[2]) : 255;
    std::cout << "scripts\t" << WriteScriptsMap(folder / "scripts").string() << "\n";
    std::cout << "campaign\t" << WriteCampaign(folder / "campaign", missions).string() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "make_bounded_maps: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

// kartwerk info MAP [--json]: what a compiled map holds, read the way a conversion reads it.
#include <iomanip>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "app/commands.hpp"
#include "app/json_text.hpp"
#include "core/shown_text.hpp"
#include "format/conversion.hpp"
#include "format/map_file_check.hpp"
#include "format/map_info.hpp"
#include "format/staging.hpp"
#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::app {
namespace {

struct InfoOptions {
  std::string map;
  bool json = false;
};

int RunInfo(const InfoOptions& options) {
  if (const auto problem = format::MapFileProblem(platform::PathFromText(options.map))) {
    std::cerr << "kartwerk: " << core::ShownText(*problem) << "\n";
    return 1;
  }
  const std::filesystem::path mapPath = platform::FullPath(platform::PathFromText(options.map));
  format::Conversion c;
  c.MapKind = format::MapKindFromExtension(platform::TextFromPath(mapPath.extension()));
  format::StageMapFile(c, mapPath);
  const format::MapInformation info = format::ReadMapInformation(c);
  const std::size_t missions = c.MapKind == format::CampaignMap ? c.MissionList.size() : 1;

  if (options.json) {
    nlohmann::json out;
    out["kind"] = std::string(format::MapKindText(c.MapKind));
    out["scheme"] = info.TerrainScheme;
    out["width"] = info.width;
    out["height"] = info.height;
    out["missions"] = missions;
    out["sections"] = nlohmann::json::array();
    for (std::size_t i = 0; i < c.SectionDirectory.count; ++i) {
      const format::SectionEntry& e = c.SectionDirectory[i];
      // Section names are Windows-1252 bytes; JSON wants UTF-8, which this mapping keeps readable.
      out["sections"].push_back({{"name", core::Cp1252ToUtf8(e.name)}, {"size", e.size}, {"offset", e.offset}});
    }
    std::cout << JsonText(out) << "\n";
    return 0;
  }
  std::cout << core::ShownText(platform::TextFromPath(mapPath.filename())) << "\n"
            << "  kind:     " << format::MapKindText(c.MapKind) << "\n"
            << "  scheme:   " << info.TerrainScheme << " (" << format::TerrainSchemeText(info.TerrainScheme) << ")\n"
            << "  size:     " << info.width << "x" << info.height << "\n"
            << "  missions: " << missions << "\n"
            << "  sections:\n";
  for (std::size_t i = 0; i < c.SectionDirectory.count; ++i) {
    const format::SectionEntry& e = c.SectionDirectory[i];
    std::cout << "    " << std::setw(2) << i << "  " << std::left << std::setw(12) << core::ShownText(e.name)
              << std::right << " size " << std::setw(9) << e.size << "  offset " << e.offset << "\n";
  }
  return 0;
}

}  // namespace

void AddInfoCommand(CLI::App& app, Runner& run) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App* cmd = app.add_subcommand("info", "Show a compiled map's kind, scheme, size, missions and sections");
  cmd->add_option("MAP", options->map, "Compiled map file (.qdm, .qdp or .qdc)")->required();
  cmd->add_flag("--json", options->json, "Print one JSON object instead of text");
  cmd->footer(
      "The map is only read, as a conversion reads it; nothing is written.\n"
      "\n"
      "Exit status: 0 the map was read, 1 it could not be read (the message says why), 2 wrong usage.\n");
  cmd->callback([&run, options] { run = [options] { return RunInfo(*options); }; });
}

}  // namespace kartwerk::app

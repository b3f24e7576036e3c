// kartwerk preview MAP -o FILE.png [--mission N] [--scale N]: the picture of one map;
// kartwerk preview MAP... --out DIR: one picture per map and mission, and an index.html gallery.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/commands.hpp"
#include "convert/records/cliff_data.hpp"
#include "core/shown_text.hpp"
#include "format/map_info.hpp"
#include "pipeline/batch_conversion.hpp"
#include "pipeline/write_gate.hpp"
#include "platform/file_output.hpp"
#include "platform/path_text.hpp"
#include "preview/gallery_page.hpp"
#include "preview/png_file.hpp"
#include "preview/read_map_preview.hpp"
#include "preview/render_map_picture.hpp"

namespace kartwerk::app {
namespace {

struct PreviewOptions {
  std::vector<std::string> maps;
  std::string output;  // -o FILE.png
  std::string out;     // --out DIR
  std::optional<int> mission;
  std::optional<int> scale;
  std::string cliffData;
  bool quiet = false;
};

// The cliff masks: an explicitly named file must load; the one beside the program may be missing,
// and the pictures then show no cliff marks.
std::shared_ptr<const core::Bytes> CliffMasks(const PreviewOptions& options, bool quiet) {
  if (!options.cliffData.empty()) return records::LoadCliffData(platform::PathFromText(options.cliffData));
  try {
    return records::LoadCliffData(records::DefaultCliffDataPath());
  } catch (const std::exception& e) {
    if (!quiet) std::cerr << "kartwerk: warning: " << core::ShownText(e.what()) << "; cliff marks are not drawn\n";
    return nullptr;
  }
}

std::function<void(const std::string&)> Warner(const std::string& map, bool quiet) {
  if (quiet) return {};
  return [map](const std::string& message) {
    std::cerr << "kartwerk: " << core::ShownText(map) << ": warning: " << core::ShownText(message) << "\n";
  };
}

int ScaleFor(const PreviewOptions& options, const preview::MapPreview& map) {
  const int scale = options.scale.value_or(preview::DefaultPreviewScale(map.width(), map.height()));
  if (!preview::ScaleFits(map.width(), map.height(), scale)) {
    throw std::invalid_argument("--scale " + std::to_string(scale) + " makes a picture of this " +
                                std::to_string(map.width()) + "x" + std::to_string(map.height()) + " map " +
                                preview::PictureLimitText());
  }
  return scale;
}

bool IsMapFile(const std::string& map) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(platform::PathFromText(map), ec)) return true;
  std::cerr << "kartwerk: \"" << core::ShownText(map) << "\" is not a map file\n";
  return false;
}

int PreviewOne(const PreviewOptions& options) {
  const std::string& mapFile = options.maps.front();
  if (!IsMapFile(mapFile)) return 1;
  const auto cliffData = CliffMasks(options, options.quiet);
  preview::MapPreview map;
  try {
    map = preview::LoadMapPreview(platform::PathFromText(mapFile), cliffData, Warner(mapFile, options.quiet));
  } catch (const preview::MapPreviewError& e) {
    std::cerr << "kartwerk: " << core::ShownText(mapFile) << ": " << core::ShownText(e.what()) << "\n";
    return 1;
  }
  // A single-player or multiplayer map shows its one mission unless told otherwise; a campaign its map alone.
  const int mission = options.mission.value_or(map.kind == format::CampaignMap ? 0 : 1);
  if (mission > static_cast<int>(map.missions.size())) {
    std::cerr << "kartwerk: " << core::ShownText(mapFile) << ": there is no mission " << mission << "; the map has "
              << map.missions.size() << "\n";
    return 1;
  }
  const preview::MissionPreview* shown = mission == 0 ? nullptr : &map.missions[static_cast<std::size_t>(mission - 1)];
  try {
    pipeline::WriteGatedFile(platform::PathFromText(options.output),
                             preview::EncodePng(preview::RenderMapPicture(map, shown, ScaleFor(options, map))),
                             pipeline::WriteGate{{platform::PathFromText(mapFile)}, {}, "write the picture"});
  } catch (const pipeline::WriteRefused& e) {
    std::cerr << "kartwerk: " << core::ShownText(e.what()) << "\n";
    return 1;
  }
  return 0;
}

// Writes the pictures of one map into folder and describes them for the gallery.
void WriteMapPictures(const PreviewOptions& options, const preview::MapPreview& map,
                      const pipeline::GatedFolder& folder, const std::string& name, preview::GalleryMap& entry) {
  const int scale = ScaleFor(options, map);
  auto write = [&](const std::string& file, const preview::MissionPreview* mission, const std::string& caption) {
    const preview::Picture picture = preview::RenderMapPicture(map, mission, scale);
    folder.Write(file, preview::EncodePng(picture));
    entry.pictures.push_back({file, caption, picture.width(), picture.height()});
  };
  if (map.kind != format::CampaignMap) {
    write(name + ".png", &map.missions.front(), "The map with its units");
    return;
  }
  // A campaign's mission pictures go into a folder of the campaign's name: no single map's
  // "<name>.png" can take the name of a file inside a folder.
  write(name + ".png", nullptr, "The map");
  for (const preview::MissionPreview& mission : map.missions) {
    std::string caption = "Mission " + mission.name;
    if (!mission.title.empty()) caption += ": " + core::Cp1252ToUtf8(mission.title);
    write(name + "/" + mission.name + ".png", &mission, caption);
  }
}

int PreviewGallery(const PreviewOptions& options) {
  std::vector<std::filesystem::path> listed;
  for (const std::string& map : options.maps) listed.push_back(platform::PathFromText(map));
  const pipeline::BatchPlan plan = pipeline::PlanBatch(listed);
  const std::filesystem::path folder = platform::PathFromText(options.out);
  for (const pipeline::BatchUnnamable& map : plan.unnamable) {
    std::cerr << "kartwerk: " << core::ShownText(platform::TextFromPath(map.mapPath))
              << " cannot be drawn under a name of its own: " << core::ShownText(map.reason) << "\n";
  }
  if (!plan.unnamable.empty() && plan.clashes.empty()) {
    std::cerr << "kartwerk: nothing was drawn; draw it on its own with -o\n";
    return 2;
  }
  if (!plan.clashes.empty()) {
    for (const pipeline::BatchNameClash& clash : plan.clashes) {
      std::cerr << "kartwerk: " << core::ShownText(platform::TextFromPath(clash.first)) << " and "
                << core::ShownText(platform::TextFromPath(clash.second)) << " would both be drawn as "
                << core::ShownText(platform::TextFromPath(folder / platform::PathFromText(clash.folderName + ".png")))
                << "\n";
    }
    std::cerr << "kartwerk: nothing was drawn; draw one of them on its own with -o\n";
    return 2;
  }
  // The folder follows the --out rule: new, empty, or holding only what the last gallery wrote.
  std::optional<pipeline::GatedFolder> gallery;
  try {
    gallery.emplace(folder, pipeline::WriteGate{listed, {}, "write the gallery into"});
  } catch (const pipeline::WriteRefused& e) {
    std::cerr << "kartwerk: " << core::ShownText(e.what()) << "\n";
    return 1;
  }
  const auto cliffData = CliffMasks(options, options.quiet);

  std::vector<preview::GalleryMap> pages;
  std::vector<std::string> failed;
  for (const pipeline::BatchMap& planned : plan.maps) {
    const std::string mapFile = platform::TextFromPath(planned.mapPath);
    preview::GalleryMap& entry = pages.emplace_back();
    entry.name = planned.folderName;  // as the file system gives it, not a game text
    try {
      if (!std::filesystem::is_regular_file(planned.mapPath)) throw preview::MapPreviewError("not a map file");
      const preview::MapPreview map =
          preview::LoadMapPreview(planned.mapPath, cliffData, Warner(mapFile, options.quiet));
      entry.kind = format::MapKindText(map.kind);
      entry.size = std::to_string(map.width()) + "x" + std::to_string(map.height());
      entry.scheme = format::TerrainSchemeText(map.info.TerrainScheme);
      entry.missions = map.missions.size();
      WriteMapPictures(options, map, *gallery, planned.folderName, entry);
      if (!options.quiet) std::cerr << core::ShownText(mapFile) << ": " << entry.pictures.size() << " picture(s)\n";
    } catch (const std::exception& e) {
      entry.error = e.what();
      std::cerr << "kartwerk: " << core::ShownText(mapFile) << ": " << core::ShownText(e.what()) << "\n";
      failed.push_back(mapFile);
    }
  }
  gallery->Write("index.html", preview::GalleryPage(pages));
  gallery->Finish();
  if (!options.quiet || !failed.empty()) {
    std::cerr << pages.size() << (pages.size() == 1 ? " map: " : " maps: ") << pages.size() - failed.size()
              << " drawn, " << failed.size() << " failed; gallery "
              << core::ShownText(platform::TextFromPath(folder / "index.html")) << "\n";
  }
  return failed.empty() ? 0 : 1;
}

}  // namespace

void AddPreviewCommand(CLI::App& app, Runner& run) {
  auto options = std::make_shared<PreviewOptions>();
  CLI::App* cmd = app.add_subcommand("preview", "Draw a picture of each map (and an index.html gallery of several)");
  cmd->add_option("MAP", options->maps, "Compiled map file (.qdm, .qdp or .qdc); several with --out")->required();
  CLI::Option* output = cmd->add_option("-o,--output", options->output, "PNG file to write the picture of one MAP to");
  CLI::Option* out = cmd->add_option(
      "--out", options->out, "Folder (created with its parents) to write every map's pictures and index.html to");
  output->excludes(out);
  cmd->add_option("--mission", options->mission,
                  "With -o: draw mission N (1 = the first) with its rectangle and units; 0 = the map alone "
                  "(default: 1 for a single-player or multiplayer map, 0 for a campaign)")
      ->check(CLI::Range(0, 255))
      ->needs(output);
  cmd->add_option("--scale", options->scale,
                  "Pixels per map cell (default: the one that makes the longer side about 512 pixels)")
      ->check(CLI::Range(1, 64));
  cmd->add_option("--cliffdata", options->cliffData, "Cliff mask file (default: \"cliffdata\" beside the program)");
  cmd->add_flag("--quiet", options->quiet, "Show no progress and no warnings");
  cmd->footer(
      "The picture is the map from above, one square of --scale pixels per cell: each cell in its terrain\n"
      "type's colour, lighter the higher it lies, cliff marks darker, objects as small white marks. A mission's\n"
      "units are dots in their player's colour, and a campaign mission's rectangle is outlined in dashes.\n"
      "Cells the map file does not hold are drawn as a grey checker board.\n"
      "With --out DIR each map gives DIR/<map name>.png (a campaign: its map, and DIR/<name>/mis.NNN.png per\n"
      "mission), and DIR/index.html shows them all with each map's kind, size, scheme and missions. A map that\n"
      "cannot be read is reported (and listed in the gallery) while the others are drawn.\n"
      "\n"
      "Exit status: 0 every picture drawn, 1 a map could not be drawn or a file not written, 2 wrong usage.\n");
  cmd->callback([&run, options, cmd] {
    if (cmd->count("--output") == 0 && cmd->count("--out") == 0) throw CLI::RequiredError("-o FILE.png or --out DIR");
    if (cmd->count("--output") > 0 && options->maps.size() > 1) {
      throw CLI::ValidationError("-o", "draws exactly one MAP; draw several maps with --out DIR");
    }
    run = [options] { return options->out.empty() ? PreviewOne(*options) : PreviewGallery(*options); };
  });
}

}  // namespace kartwerk::app

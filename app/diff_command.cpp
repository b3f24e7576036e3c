// kartwerk diff MAP (--slot N | --out DIR | --backup BACKUP): what changed in a folder since MAP
// was converted into it, in the map's words (and, with --picture, drawn on the map's picture).
// Exit status as diff(1): 0 the same, 1 something differs, 2 wrong usage or trouble.
#include <algorithm>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "app/command_slot.hpp"
#include "app/commands.hpp"
#include "app/json_text.hpp"
#include "compare/change_picture.hpp"
#include "compare/comparison_text.hpp"
#include "compare/map_comparison.hpp"
#include "convert/records/cliff_data.hpp"
#include "core/exception_text.hpp"
#include "core/shown_text.hpp"
#include "format/game_version.hpp"
#include "format/map_file_check.hpp"
#include "format/map_info.hpp"
#include "pipeline/backup_store.hpp"
#include "pipeline/slot_commit.hpp"
#include "pipeline/write_gate.hpp"
#include "platform/path_text.hpp"
#include "preview/png_file.hpp"
#include "preview/read_map_preview.hpp"
#include "preview/render_map_picture.hpp"

namespace kartwerk::app {
namespace {

constexpr int kTrouble = 2;

struct DiffOptions {
  std::string map;
  std::string out;
  std::string backup;
  int slot = -1;
  std::string game;
  std::string winePrefix;
  std::string gameVersion = "2.2";
  std::string cliffData;
  std::string picture;
  bool json = false;
  bool lines = false;
  bool all = false;
  int mission = 0;                // --mission: the mission the picture draws (1 = the first); 0: the first that changed
  bool gameVersionGiven = false;  // --game-version was given
  std::optional<format::GameVersionKind> gameVersionKind;  // the located installation's, unless --game-version is given
};

// The game version the map is converted for to be compared: --game-version when given, else the
// one recorded with the conversion compared (recorded), else the located game's or the default.
format::GameVersionKind ComparedGameVersion(const DiffOptions& options, format::GameVersionKind recorded) {
  if (options.gameVersionGiven) return format::GameVersionKindOf(options.gameVersion);
  if (recorded != format::GameVersionKind::None) return recorded;
  return options.gameVersionKind.value_or(format::GameVersionKindOf(options.gameVersion));
}

// The game version recorded with the last conversion into a place; none when no record says.
format::GameVersionKind RecordedGameVersion(const std::filesystem::path& place) {
  const auto record =
      pipeline::BackupStore(pipeline::DefaultBackupFolder()).WrittenRecordOf(pipeline::TargetPath(place));
  return record ? record->gameVersion : format::GameVersionKind::None;
}

using nlohmann::json;

// Texts from the files are Windows-1252; JSON takes UTF-8.
std::string Shown(const std::string& text) { return core::Cp1252ToUtf8(text); }

// A name given on the command line or found on disk, as a terminal shows it.
std::string Named(const std::string& text) { return core::ShownText(text); }

json PlaceJson(const std::optional<compare::Position>& at) { return at ? json::array({at->x, at->y}) : json(nullptr); }

json FieldsJson(const std::vector<compare::FieldChange>& fields) {
  static constexpr const char* kEdits[] = {"changed", "added", "removed"};
  json list = json::array();
  for (const compare::FieldChange& f : fields)
    list.push_back({{"field", Shown(f.field)},
                    {"from", Shown(f.from)},
                    {"to", Shown(f.to)},
                    {"edit", kEdits[static_cast<int>(f.edit)]}});
  return list;
}

json ComparisonJson(const DiffOptions& options, const std::filesystem::path& folder,
                    const compare::FolderComparison& result) {
  static constexpr const char* kKinds[] = {"added", "removed", "changed", "renamed", "reordered"};
  json files = json::array();
  for (const compare::FileComparison& file : result.files) {
    // The file's name is UTF-8 already; what the files hold is Windows-1252.
    json item{{"name", file.name}, {"state", compare::FileStateText(file.state)}};
    if (!file.note.empty()) item["note"] = Shown(file.note);
    if (file.state != compare::FileState::OnlyInFolder) item["mapBytes"] = file.mapBytes;
    if (file.state != compare::FileState::OnlyInMap) item["folderBytes"] = file.folderBytes;
    if (!file.entries.empty()) {
      json entries = json::array();
      for (const compare::EntryChange& e : file.entries) {
        json entry{{"change", kKinds[static_cast<int>(e.kind)]}, {"entry", Shown(e.entry)}};
        if (!e.fields.empty()) entry["fields"] = FieldsJson(e.fields);
        if (e.from) entry["from"] = PlaceJson(e.from);
        if (e.to) entry["to"] = PlaceJson(e.to);
        if (e.number > 0) entry["number"] = e.number;
        if (e.nowNumber > 0) entry["nowNumber"] = e.nowNumber;
        if (!e.newName.empty()) entry["newName"] = Shown(e.newName);
        entry["moved"] = e.Moved();
        entries.push_back(std::move(entry));
      }
      item["entries"] = std::move(entries);
    }
    if (file.grid) {
      const compare::GridChange& g = *file.grid;
      item["grid"] = {{"cells", g.cells}, {"columns", g.columns}, {"rows", g.rows}};
      if (g.cells > 0)
        item["grid"]["rectangle"] = {{"left", g.left}, {"top", g.top}, {"right", g.right}, {"bottom", g.bottom}};
    }
    if (!file.keys.empty()) item["keys"] = FieldsJson(file.keys);
    if (!file.lines.empty()) {
      json lines = json::array();
      for (const std::string& line : file.lines) lines.push_back(Shown(line));
      item["lines"] = std::move(lines);
    }
    files.push_back(std::move(item));
  }
  return {
      {"map", options.map}, {"folder", platform::TextFromPath(folder)}, {"same", result.AllSame()}, {"files", files}};
}

// Whether path lies inside folder (the folder compared is only ever read).
bool Inside(const std::filesystem::path& path, const std::filesystem::path& folder) {
  std::error_code error;
  const auto f = std::filesystem::weakly_canonical(folder, error);
  const auto p = std::filesystem::weakly_canonical(path, error);
  const auto [end, rest] = std::mismatch(f.begin(), f.end(), p.begin(), p.end());
  return !error && end == f.end();
}

void WritePicture(const DiffOptions& options, const compare::FolderComparison& result) {
  const std::filesystem::path map = platform::PathFromText(options.map);
  const auto cliffData = records::LoadCliffData(options.cliffData.empty() ? records::DefaultCliffDataPath()
                                                                          : platform::PathFromText(options.cliffData));
  const preview::MapPreview preview = preview::LoadMapPreview(map, cliffData);
  const int scale = preview::DefaultPreviewScale(preview.width(), preview.height());
  // A campaign's picture draws one mission: say which, and which others changed.
  const std::vector<int> changed = compare::ChangedMissions(preview, result);
  if (options.mission == 0 && changed.size() > 1) {
    std::string others;
    for (std::size_t k = 1; k < changed.size(); ++k) others += (k > 1 ? ", " : "") + std::to_string(changed[k]);
    std::cerr << "kartwerk: " << options.picture << ": draws mission " << changed.front() << "; missions " << others
              << " changed too (--mission N draws another)\n";
  }
  pipeline::WriteGatedFile(platform::PathFromText(options.picture),
                           preview::EncodePng(compare::RenderChangePicture(preview, result, scale, options.mission)),
                           pipeline::WriteGate{{map}, {}, "write the picture"});
}

int Compare(const DiffOptions& options, const std::filesystem::path& folder, format::GameVersionKind recordedVersion) {
  const std::filesystem::path map = platform::PathFromText(options.map);
  if (const auto problem = format::MapFileProblem(map)) {
    std::cerr << "kartwerk: " << Named(*problem) << "\n";
    return kTrouble;
  }
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    std::cerr << "kartwerk: " << Named(platform::TextFromPath(folder)) << ": no such folder\n";
    return kTrouble;
  }
  if (!options.picture.empty() && Inside(platform::PathFromText(options.picture), folder)) {
    std::cerr << "kartwerk: --picture " << Named(options.picture)
              << " lies inside the folder compared, which diff never writes into\n";
    return kTrouble;
  }
  // Refused before comparing, so that a refusal is not printed after a whole comparison.
  if (!options.picture.empty()) {
    if (const std::string problem = pipeline::GatedFileProblem(platform::PathFromText(options.picture),
                                                               pipeline::WriteGate{{map}, {}, "write the picture"});
        !problem.empty()) {
      std::cerr << "kartwerk: " << problem << "\n";
      return kTrouble;
    }
  }
  compare::CompareRequest request;
  request.mapPath = map;
  request.folder = folder;
  request.gameVersionKind = ComparedGameVersion(options, recordedVersion);
  request.cliffDataFile = platform::PathFromText(options.cliffData);
  request.lines = options.lines;
  request.warn = [&options](const std::string& message) {
    std::cerr << "kartwerk: " << Named(options.map) << ": " << Named(Shown(message)) << "\n";
  };
  compare::FolderComparison result;
  try {
    result = compare::CompareMapWithFolder(request);
  } catch (const compare::MapComparisonError& e) {
    std::cerr << "kartwerk: " << Named(options.map) << ": " << Named(e.what()) << "\n";
    return kTrouble;
  }
  if (options.json) {
    std::cout << JsonText(ComparisonJson(options, folder, result)) << "\n";
  } else {
    std::cout << compare::ComparisonText(result, options.all);
  }
  if (!options.picture.empty()) {
    try {
      WritePicture(options, result);
    } catch (const std::exception& e) {
      std::cerr << "kartwerk: " << Named(options.picture) << ": "
                << Named(core::ExceptionText(std::current_exception())) << "\n";
      return kTrouble;
    }
  }
  return result.AllSame() ? 0 : 1;
}

// The backup named as restore takes it: its folder as backups prints it, or its folder name (or the
// start of it when only one backup starts so).
int CompareWithBackup(const DiffOptions& options) {
  pipeline::BackupRecord backup;
  try {
    backup = pipeline::BackupStore(pipeline::DefaultBackupFolder()).Find(options.backup);
  } catch (const std::runtime_error& e) {
    std::cerr << "kartwerk: " << Named(e.what()) << "\n";
    return kTrouble;
  }
  return Compare(options, backup.folder, backup.gameVersion);
}

// Runs a comparison; whatever it throws is trouble (status 2), never taken for "something differs".
template <class Body>
int AsDiff(Body&& body) {
  try {
    return body();
  } catch (...) {
    std::cerr << "kartwerk: " << Named(core::ExceptionText(std::current_exception())) << "\n";
    return kTrouble;
  }
}

}  // namespace

void AddDiffCommand(CLI::App& app, Runner& run) {
  auto options = std::make_shared<DiffOptions>();
  CLI::App* cmd = app.add_subcommand("diff", "Show what changed in a slot or folder since a map was converted into it");
  cmd->add_option("MAP", options->map, "Compiled map file (.qdm, .qdp or .qdc)")->required();
  CLI::Option* out = cmd->add_option("--out", options->out, "Folder a conversion wrote into");
  CLI::Option* backup =
      cmd->add_option("--backup", options->backup, "A backup as kartwerk backups prints it, or its folder name");
  CLI::Option* slot =
      cmd->add_option("--slot", options->slot, "Editor slot (0 to 254) of the located game")->check(CLI::Range(0, 254));
  out->excludes(slot)->excludes(backup);
  backup->excludes(slot);
  CLI::Option* game =
      cmd->add_option("--game", options->game, "Game folder to use instead of the registry (with --slot)")->needs(slot);
  cmd->add_option("--wine-prefix", options->winePrefix, "Wine prefix holding the game (with --slot)")
      ->needs(slot)
      ->excludes(game);
  cmd->add_option("--game-version", options->gameVersion,
                  "The game's version text; \"1.9\" selects its older script keywords (default: the version "
                  "recorded with the conversion compared, else the located game's, else 2.2)");
  cmd->add_option("--cliffdata", options->cliffData, "Cliff mask file (default: the program's own)");
  cmd->add_flag("--json", options->json, "Print the comparison as one JSON object");
  cmd->add_flag("--lines", options->lines, "Also show a unified line diff of each changed text file");
  cmd->add_flag("--all", options->all, "List every changed entry, however many (otherwise summed up past 50 a file)");
  CLI::Option* picture =
      cmd->add_option("--picture", options->picture,
                      "Draw the map with the changes marked into this PNG file (outside the folder compared)");
  cmd->add_option("--mission", options->mission,
                  "With --picture: draw mission N (1 = the first); default: the first mission that changed")
      ->check(CLI::NonNegativeNumber)
      ->needs(picture);
  cmd->footer(
      "The map is converted in memory and nothing is written; each file is compared with the folder's.\n"
      "\n"
      "Exit status: 0 all files the same, 1 something differs, 2 wrong usage or trouble.\n");
  cmd->callback([&run, options, cmd] {
    if (cmd->count("--out") + cmd->count("--slot") + cmd->count("--backup") == 0)
      throw CLI::RequiredError("--out, --slot or --backup");
    options->gameVersionGiven = cmd->count("--game-version") > 0;
    if (cmd->count("--backup") > 0) {
      run = [options] { return AsDiff([&] { return CompareWithBackup(*options); }); };
      return;
    }
    if (cmd->count("--slot") == 0) {
      run = [options] {
        return AsDiff([&] {
          const std::filesystem::path out = platform::PathFromText(options->out);
          return Compare(*options, out, RecordedGameVersion(out));
        });
      };
      return;
    }
    std::optional<std::string> version;
    if (cmd->count("--game-version") > 0) version = options->gameVersion;
    run = [options, version] {
      return AsDiff([&] {
        const game::SlotTarget target =
            LocateCommandSlot(options->game, options->winePrefix, options->slot, options->map, version);
        options->gameVersionKind = target.gameVersionKind;
        return Compare(*options, target.slotFolder, RecordedGameVersion(target.slotFolder));
      });
    };
  });
}

}  // namespace kartwerk::app

// kartwerk convert MAP (--out DIR | --slot N): converts a compiled map into an editor slot folder;
// kartwerk convert MAP... --out DIR converts several maps, each into a folder of its own under DIR.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/batch_convert.hpp"
#include "app/command_slot.hpp"
#include "app/commands.hpp"
#include "app/console_progress.hpp"
#include "core/shown_text.hpp"
#include "format/map_file_check.hpp"
#include "game/slot_target.hpp"
#include "pipeline/run_conversion.hpp"
#include "pipeline/slot_commit.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::app {
namespace {

struct ConvertOptions {
  std::string map;
  std::vector<std::string> maps;  // as listed; map is the first
  unsigned jobs = 0;              // several maps: how many convert at once (0: one per core)
  std::string out;
  std::string gameVersion = "2.2";
  std::string cliffData;  // empty: the program's own "cliffdata"
  bool quiet = false;
  // --slot N: the editor slot of the located game instead of --out.
  int slot = -1;
  std::string slotText;  // as given; read as decimal, so "010" is slot 10
  std::string game;
  std::string winePrefix;
  std::optional<format::GameVersionKind> gameVersionKind;  // the located installation's, unless --game-version is given
};

void AddConvertOptions(CLI::App& cmd, ConvertOptions& options) {
  cmd.add_option("MAP", options.maps, "Compiled map file (.qdm, .qdp or .qdc); several with --out")->required();
  CLI::Option* out = cmd.add_option("--out", options.out,
                                    "Slot folder to write into (created with its parents); with several maps, the "
                                    "folder that gets one sub-folder per map");
  const CLI::Validator slotNumber(
      [](std::string& text) { return game::ParseSlotNumber(text) ? std::string() : game::NotASlotNumberText(text); },
      "0 to 254");
  CLI::Option* slot =
      cmd.add_option("--slot", options.slotText, "Editor slot (0 to 254) of the located game to write into")
          ->check(slotNumber);
  out->excludes(slot);
  CLI::Option* game =
      cmd.add_option("--game", options.game, "Game folder to use instead of the registry (with --slot)")->needs(slot);
  cmd.add_option("--wine-prefix", options.winePrefix, "Wine prefix holding the game (with --slot)")
      ->needs(slot)
      ->excludes(game);
  cmd.add_option("--game-version", options.gameVersion,
                 "The game's version text; \"1.9\" selects its older script keywords")
      ->capture_default_str();
  cmd.add_option("--cliffdata", options.cliffData,
                 "Cliff mask file (default: the program's own, in ../share/kartwerk or beside the program)");
  cmd.add_flag("--quiet", options.quiet, "Show no progress");
  cmd.add_option("--jobs", options.jobs,
                 "How many maps (or a campaign's missions) convert at once (default: one per processor core)")
      ->check(CLI::PositiveNumber)
      ->needs(out);
  cmd.footer(
      "Several maps: kartwerk convert MAP... --out DIR converts each map into DIR/<map name>/, --jobs at a time.\n"
      "The map name is the file name without its extension; a campaign is named by its three characters, so its\n"
      "main file and mission files listed together convert it once. A map that fails is reported and the others\n"
      "still convert; a summary ends the run, and the exit status is 1 when any map failed. Two different maps\n"
      "with the same name are refused before anything is converted. With one map, DIR is the slot folder itself.\n"
      "\n"
      "Replacing a folder:\n"
      "  --out DIR replaces only a folder that is new or empty, or that holds a map (what Kartwerk wrote there,\n"
      "  or a folder shaped like a slot); any other folder is refused before anything is written or moved.\n"
      "  An editor slot (--slot N) is replaced whole, whatever it holds. Either way, what the folder held is\n"
      "  moved to the backups first (kartwerk backups); a failed or stopped conversion leaves it as it was.\n"
      "\n"
      "Exit status: 0 every map converted, 1 a map or its folder failed (the message says which and why),\n"
      "2 wrong usage.\n");
}

// Says what is wrong with the map file, if anything; returns whether it can be converted.
bool MapCanBeConverted(const ConvertOptions& options) {
  const auto problem = format::MapFileProblem(platform::PathFromText(options.map));
  if (problem) std::cerr << "kartwerk: " << core::ShownText(*problem) << "\n";
  return !problem;
}

// Runs a conversion into slotFolder, showing progress on standard error; returns the exit status.
int ConvertIntoSlotFolder(const ConvertOptions& options, const std::filesystem::path& slotFolder, bool onlyMaps) {
  const std::filesystem::path map = platform::PathFromText(options.map);
  if (!MapCanBeConverted(options)) return 1;
  ConsoleProgress progress(std::cerr, ::isatty(STDERR_FILENO) == 1, options.quiet);
  pipeline::ConvertRequest request;
  request.mapPath = map;
  request.slotFolder = slotFolder;
  request.onlyReplaceMaps = onlyMaps;
  request.gameVersionKind = options.gameVersionKind.value_or(format::GameVersionKindOf(options.gameVersion));
  request.cliffDataFile = platform::PathFromText(options.cliffData);
  request.missionJobs = options.jobs;  // a campaign's missions side by side
  request.planned = [&progress](std::size_t labels) { progress.Plan(labels); };
  request.progress = [&progress](const std::string& label) { progress.Step(label); };
  request.warn = [&progress](const std::string& message) { progress.Warn(message); };

  const pipeline::ConversionEnd end = pipeline::RunConversion(request);
  progress.Finish();
  if (!end.Completed()) {
    // The map is named as in a batch, so a failing step says which file it could not convert.
    std::cerr << "kartwerk: " << core::ShownText(options.map) << ": " << core::ShownText(end.FailureText()) << "\n";
    return 1;
  }
  // Said even when quiet: it is where the user's earlier work went, not progress.
  if (!end.previousContent.empty())
    std::cerr << "kartwerk: " << core::ShownText(pipeline::PreviousContentText(slotFolder, end.previousContent))
              << "\n";
  return 0;
}

}  // namespace

void AddConvertCommand(CLI::App& app, Runner& run) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* cmd = app.add_subcommand("convert", "Convert a compiled map into an editor slot folder");
  AddConvertOptions(*cmd, *options);
  cmd->callback([&run, options, cmd] {
    if (cmd->count("--out") == 0 && cmd->count("--slot") == 0) throw CLI::RequiredError("--out or --slot");
    if (cmd->count("--slot") > 0 && options->maps.size() > 1) {
      throw CLI::ValidationError("--slot", "converts exactly one MAP; convert several maps with --out DIR");
    }
    options->map = options->maps.front();
    if (cmd->count("--slot") > 0) options->slot = game::ParseSlotNumber(options->slotText).value_or(-1);
    if (options->maps.size() > 1) {
      run = [options] {
        BatchConvertSettings batch{options->maps,      options->out,
                                   options->jobs,      format::GameVersionKindOf(options->gameVersion),
                                   options->cliffData, options->quiet};
        return ConvertBatch(batch);
      };
      return;
    }
    if (cmd->count("--slot") == 0) {
      run = [options] { return ConvertIntoSlotFolder(*options, platform::PathFromText(options->out), true); };
      return;
    }
    std::optional<std::string> version;
    if (cmd->count("--game-version") > 0) version = options->gameVersion;
    run = [options, version] {
      // A missing or wrong map is told before anything about the game.
      if (!MapCanBeConverted(*options)) return 1;
      const game::SlotTarget target =
          LocateCommandSlot(options->game, options->winePrefix, options->slot, options->map, version);
      options->gameVersionKind = target.gameVersionKind;
      for (const std::string& line : target.skippedLines) std::cerr << "kartwerk: " << core::ShownText(line) << "\n";
      const int status = ConvertIntoSlotFolder(*options, target.slotFolder, false);
      // Even when quiet: the slot is found again in the editor by its folder.
      if (status == 0)
        std::cout << "Slot " << options->slot << ": " << core::ShownText(platform::TextFromPath(target.slotFolder))
                  << "\n";
      return status;
    };
  });
}

}  // namespace kartwerk::app

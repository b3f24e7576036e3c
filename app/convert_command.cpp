// kartwerk convert MAP --out DIR: converts a compiled map into an editor slot folder.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "app/commands.hpp"
#include "app/console_progress.hpp"
#include "core/pipeline/run_conversion.hpp"

namespace kartwerk::app {
namespace {

struct ConvertOptions {
  std::string map;
  std::string out;
  std::string gameVersion = "2.2";
  std::string cliffData;  // empty: "cliffdata" beside the executable
  bool quiet = false;
};

// The script keyword set follows the installed game: the older set for version "1.9" exactly.
int GameVersionKindOf(const std::string& version) { return version == "1.9" ? 1 : 2; }

void AddConvertOptions(CLI::App& cmd, ConvertOptions& options) {
  cmd.add_option("MAP", options.map, "Compiled map file (.qdm, .qdp or .qdc)")->required();
  cmd.add_option("--out", options.out, "Slot folder to write into (created with its parents)")->required();
  cmd.add_option("--game-version", options.gameVersion, "The game's version text; \"1.9\" selects its older script keywords")
      ->capture_default_str();
  cmd.add_option("--cliffdata", options.cliffData, "Cliff mask file (default: \"cliffdata\" beside the program)");
  cmd.add_flag("--quiet", options.quiet, "Show no progress");
}

// Runs a conversion into slotFolder, showing progress on standard error; returns the exit status.
int ConvertIntoSlotFolder(const ConvertOptions& options, const std::filesystem::path& slotFolder) {
  if (!std::filesystem::is_regular_file(options.map)) {
    std::cerr << "kartwerk: \"" << options.map << "\" is not a map file\n";
    return 1;
  }
  ConsoleProgress progress(stderr, ::isatty(STDERR_FILENO) == 1, options.quiet);
  ConvertRequest request;
  request.MapPath = options.map;
  request.SlotFolder = slotFolder;
  request.GameVersionKind = GameVersionKindOf(options.gameVersion);
  request.CliffDataFile = options.cliffData;
  request.Planned = [&progress](std::size_t labels) { progress.Plan(labels); };
  request.Progress = [&progress](const std::string& label) { progress.Step(label); };
  request.Warn = [&progress](const std::string& message) { progress.Warn(message); };

  const ConversionEnd end = RunConversion(request);
  progress.Finish();
  if (!end.Completed()) {
    std::cerr << "kartwerk: " << end.FailureText() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

void AddConvertCommand(CLI::App& app, Runner& run) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* cmd = app.add_subcommand("convert", "Convert a compiled map into an editor slot folder");
  AddConvertOptions(*cmd, *options);
  cmd->callback([&run, options] { run = [options] { return ConvertIntoSlotFolder(*options, options->out); }; });
}

}  // namespace kartwerk::app

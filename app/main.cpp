// kartwerk: turns compiled maps back into editor source. With a subcommand it works on
// the command line; without one it opens the windows.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "app/command_tree.hpp"
#include "app/commands.hpp"
#include "app/first_argument.hpp"
#include "app/gui_main.hpp"
#include "app/utf8_command_line.hpp"
#include "app/version.hpp"
#include "app/windowed_output.hpp"
#include "core/shown_text.hpp"

namespace {

// Closes `kartwerk --help` and, through it, the manual page's description.
constexpr const char* kMainHelpFooter =
    "Without a subcommand Kartwerk opens its windows: the map browser, or, given a MAP, the slot picker\n"
    "that converts it into one of the editor's slots (what opening a map from the file manager does).\n"
    "\n"
    "Finding the game:\n"
    "  The game is found through the registry of a Wine prefix: --wine-prefix DIR, else WINEPREFIX,\n"
    "  else ~/.wine and the prefixes of Steam's Proton, Lutris and Bottles, in that order (kartwerk\n"
    "  installs lists what is found). --game DIR names the game's folder instead.\n"
    "\n"
    "Exit status:\n"
    "  0 success, 1 the work failed (the message names the file), 2 wrong usage.\n"
    "\n"
    "Examples:\n"
    "  kartwerk                                open the map browser\n"
    "  kartwerk info frontier.qdm              show what a compiled map holds\n"
    "  kartwerk convert frontier.qdm --slot 7  convert a map into the editor's slot 7\n"
    "  kartwerk convert *.qd? --out maps       convert several maps, each into maps/<map name>/\n"
    "  kartwerk installs                       list the game installations found\n"
    "  kartwerk backups                        list what conversions replaced; kartwerk restore puts it back\n"
    "\n"
    "Run \"kartwerk SUBCOMMAND --help\" for a subcommand's options.\n";

// The program with its arguments in UTF-8; returns the exit status.
int RunKartwerk(int argc, char** argv) {
  CLI::App app{"Kartwerk: converts compiled Vornmark II maps (.qdm, .qdp, .qdc) back into editor source.", "kartwerk"};
  app.require_subcommand(0, 1);
  app.set_version_flag("--version", std::string("kartwerk ") + kartwerk::app::VersionText(),
                       "Print the version and exit");
  app.footer(kMainHelpFooter);
  // "/tmp/x.qdm" is a path, not an option, on every platform.
  app.allow_windows_style_options(false);
  kartwerk::app::Runner run;
  kartwerk::app::AddInfoCommand(app, run);
  kartwerk::app::AddConvertCommand(app, run);
  kartwerk::app::AddPreviewCommand(app, run);
  kartwerk::app::AddDiffCommand(app, run);
  kartwerk::app::AddInstallsCommand(app, run);
  kartwerk::app::AddSlotsCommand(app, run);
  kartwerk::app::AddRegisterCommand(app, run);
  kartwerk::app::AddBackupsCommand(app, run);
  kartwerk::app::AddRestoreCommand(app, run);
  kartwerk::app::WindowOptions windows;
  kartwerk::app::AddWindowOptions(app, windows);
  kartwerk::app::AddCommandTreeFlag(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // "kartwerk convrt x.qdm": the typo is the mistake to tell, not the extra argument.
    const auto mistake = kartwerk::app::MistakenFirstArgument(app, argc, argv);
    if (e.get_exit_code() == 0 || !mistake) return app.exit(e) == 0 ? 0 : 2;
    std::cerr << "kartwerk: " << *mistake << "\n";
    return 2;
  }
  if (!run) return kartwerk::app::RunWindowMode(argc, argv, app, windows);
  try {
    return run();
  } catch (const std::exception& e) {
    std::cerr << "kartwerk: " << kartwerk::ShownText(e.what()) << "\n";
    return 1;
  }
}

}  // namespace

int main(int rawArgc, char** rawArgv) {
  kartwerk::app::Utf8CommandLine commandLine(rawArgc, rawArgv);
  const int argc = commandLine.argc();
  char** argv = commandLine.argv();
  // With arguments the program may have something to print; a double-click gives none. Started
  // with arguments but without a terminal (a file dropped on the program in Explorer, a Start-menu
  // entry), what it prints is shown in a window instead.
  const bool terminal = argc <= 1 || kartwerk::app::AttachParentConsole();
  kartwerk::app::UseUtf8Console();
  kartwerk::app::WindowedOutput output(!terminal);
  const int status = RunKartwerk(argc, argv);
  output.Show(status);
  return status;
}

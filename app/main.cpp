// kartwerk: turns compiled maps back into editor source. With a subcommand it works on
// the command line; without one it opens the windows.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "app/command_tree.hpp"
#include "app/commands.hpp"
#include "app/first_argument.hpp"
#include "app/gui_main.hpp"
#include "app/terminal_output.hpp"
#include "app/unexpanded_paths.hpp"
#include "app/utf8_command_line.hpp"
#include "app/version.hpp"
#include "app/windowed_output.hpp"
#include "core/exception_text.hpp"
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
    "Output:\n"
    "  Control characters in names and texts are printed as text (\\x1b, \\r, \\u009b). --json prints UTF-8;\n"
    "  a byte of no UTF-8 sequence is read as its Windows-1252 character.\n"
    "\n"
    "Exit status:\n"
    "  0 success, 1 the work failed (the message names the file), 2 wrong usage. Each subcommand's --help\n"
    "  ends with its own.\n"
    "\n"
    "Files:\n"
    "  $XDG_DATA_HOME/kartwerk/ (else ~/.local/share/kartwerk/; on Windows %LOCALAPPDATA%\\kartwerk\\)\n"
    "      Kartwerk's data folder, readable by you alone.\n"
    "  $XDG_DATA_HOME/kartwerk/replaced-slots/\n"
    "      The backups: each folder a conversion or a restore replaced, whole, named after its place, the\n"
    "      time in UTC and the map's title (kartwerk backups lists them, kartwerk restore puts one back).\n"
    "  $XDG_DATA_HOME/kartwerk/replaced-slots/.about/\n"
    "      One record per backup: the full path it came from, when, the title, whether it is what\n"
    "      Kartwerk wrote, and the game version the conversion there was made for.\n"
    "  $XDG_DATA_HOME/kartwerk/replaced-slots/.written/\n"
    "      What the last conversion into each place wrote: every file's size and digest (nothing of it\n"
    "      is kept in the slot), and the game version it wrote for (kartwerk diff compares for it).\n"
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
  for (const std::string& warning : kartwerk::app::UnexpandedTildeWarnings(app)) {
    std::cerr << "kartwerk: warning: " << kartwerk::core::ShownText(warning) << "\n";
  }
  if (!run) return kartwerk::app::RunWindowMode(argc, argv, app, windows);
  try {
    return run();
  } catch (...) {
    std::cerr << "kartwerk: " << kartwerk::core::ShownText(kartwerk::core::ExceptionText(std::current_exception()))
              << "\n";
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
  // From here on every line printed, by any command, passes the escaping writer (or, without a
  // terminal, goes to the window).
  const kartwerk::app::TerminalOutput terminalOutput;
  kartwerk::app::WindowedOutput windowed(!terminal);
  const int status = RunKartwerk(argc, argv);
  windowed.Show(status);
  return status;
}

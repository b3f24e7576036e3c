// kartwerk: turns compiled maps back into editor source. With a subcommand it works on
// the command line; without one it opens the windows.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "app/commands.hpp"
#include "app/gui_main.hpp"
#include "app/utf8_command_line.hpp"

int main(int rawArgc, char** rawArgv) {
  kartwerk::app::Utf8CommandLine commandLine(rawArgc, rawArgv);
  const int argc = commandLine.argc();
  char** argv = commandLine.argv();
  kartwerk::app::UseUtf8Console();
  CLI::App app{"Kartwerk: converts compiled Vornmark II maps (.qdm, .qdp, .qdc) back into editor source."};
  app.require_subcommand(0, 1);
  // "/tmp/x.qdm" is a path, not an option, on every platform.
  app.allow_windows_style_options(false);
  kartwerk::app::Runner run;
  kartwerk::app::AddInfoCommand(app, run);
  kartwerk::app::AddConvertCommand(app, run);
  kartwerk::app::AddInstallsCommand(app, run);
  kartwerk::app::AddSlotsCommand(app, run);
  kartwerk::app::AddRegisterCommand(app, run);
  kartwerk::app::WindowOptions windows;
  kartwerk::app::AddWindowOptions(app, windows);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  if (!run) return kartwerk::app::RunWindowMode(argc, argv, app, windows);
  try {
    return run();
  } catch (const std::exception& e) {
    std::cerr << "kartwerk: " << e.what() << "\n";
    return 1;
  }
}

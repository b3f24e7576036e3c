// kartwerk: turns compiled maps back into editor source. With a subcommand it works on
// the command line; without one it opens the windows.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "app/commands.hpp"
#include "app/gui_main.hpp"

int main(int argc, char** argv) {
  CLI::App app{"Kartwerk: converts compiled Vornmark II maps (.qdm, .qdp, .qdc) back into editor source."};
  app.require_subcommand(0, 1);
  kartwerk::app::Runner run;
  kartwerk::app::AddInfoCommand(app, run);
  kartwerk::app::AddConvertCommand(app, run);
  kartwerk::app::AddPreviewCommand(app, run);
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

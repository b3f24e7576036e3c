#include "app/gui_main.hpp"

#include <iostream>

#ifdef KARTWERK_GUI
#include <filesystem>

#include "install/installation_source.hpp"
#include "install/startup.hpp"
#include "install/wine_registry.hpp"
#include "ui/gui_application.hpp"
#include "ui/gui_session.hpp"
#endif

namespace kartwerk::app {

void AddWindowOptions(CLI::App& app, WindowOptions& options) {
  app.add_option("MAP", options.map, "A compiled map to convert in the windows (.qdm, .qdp, .qdc)");
  app.add_option("--game", options.game, "Window mode: use the game installed in this folder");
  app.add_option("--game-version", options.gameVersion, "Window mode: the version of the game given with --game");
  app.add_option("--wine-prefix", options.winePrefix, "Window mode: the Wine prefix whose registry names the game");
}

int RunWindowMode(int argc, char** argv, [[maybe_unused]] const CLI::App& app, const WindowOptions& options) {
#ifdef KARTWERK_GUI
  GuiSession session;
  // Start-up sees the map as the shell hands it over: the program, then the map's path.
  const char* startArgs[] = {argc > 0 ? argv[0] : "kartwerk", options.map.c_str()};
  session.CommandLineMap = StartProgram(options.map.empty() ? 1 : 2, startArgs, session.installs, session.conversion,
                                        std::cerr);

  InstallationSourceOptions source;
  if (!options.game.empty()) source.game = options.game;
  if (!options.gameVersion.empty()) source.gameVersion = options.gameVersion;
  if (!options.winePrefix.empty()) source.winePrefix = options.winePrefix;
  try {
    session.installs.Registry = OpenInstallationSource(source);
  } catch (const RegistryUnavailable&) {
    // No registry to read: no installation is found, and the browser says so.
  }
#ifndef _WIN32
  session.WinePrefix = options.winePrefix.empty() ? DefaultWinePrefix() : std::filesystem::path(options.winePrefix);
#endif
  int qtArgc = argc;  // the application object keeps a reference to it
  return RunWindows(qtArgc, argv, session);
#else
  (void)argc;
  (void)argv;
  (void)options;
  // Built without windows: the subcommands are all there is.
  std::cout << app.help();
  return 0;
#endif
}

}  // namespace kartwerk::app

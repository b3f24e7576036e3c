#include "app/window_session_setup.hpp"

#include <filesystem>
#include <iostream>

#include "install/installation_source.hpp"
#include "install/startup.hpp"
#include "install/wine_registry.hpp"

namespace kartwerk::app {

void PrepareWindowSession(WindowSession& session, int argc, char** argv, const WindowOptions& options) {
  // Start-up sees the map as the shell hands it over: the program, then the map's path.
  const char* startArgs[] = {argc > 0 ? argv[0] : "kartwerk", options.map.c_str()};
  session.CommandLineMap =
      StartProgram(options.map.empty() ? 1 : 2, startArgs, session.installs, session.conversion, std::cerr);

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
  session.Search = {GameSearch::Place::WinePrefix, session.WinePrefix / "system.reg"};
#endif
  if (!options.game.empty()) session.Search = {GameSearch::Place::GameFolder, options.game};
}

}  // namespace kartwerk::app

#include "app/window_session_setup.hpp"

#include <filesystem>
#include <iostream>

#include "platform/path_text.hpp"
#include "game/installation_source.hpp"
#include "desktop/startup.hpp"
#include "game/wine_registry.hpp"

namespace kartwerk::app {

void PrepareWindowSession(WindowSession& session, int argc, char** argv, const WindowOptions& options) {
  // Start-up sees the map as the shell hands it over: the program, then the map's path.
  const char* startArgs[] = {argc > 0 ? argv[0] : "kartwerk", options.map.c_str()};
  // The UTF-8 text becomes a wide path on Windows: a folder named "Jürgen" stays that folder.
  session.CommandLineMap = PathFromText(
      StartProgram(options.map.empty() ? 1 : 2, startArgs, session.installs, session.conversion, std::cerr));

  InstallationSourceOptions source;
  if (!options.game.empty()) source.game = PathFromText(options.game);
  if (!options.gameVersion.empty()) source.gameVersion = options.gameVersion;
  if (!options.winePrefix.empty()) source.winePrefix = PathFromText(options.winePrefix);
  try {
    session.installs.Registry = OpenInstallationSource(source);
  } catch (const RegistryUnavailable&) {
    // No registry to read: no installation is found, and the browser says so.
  }
#ifndef _WIN32
  session.WinePrefix = options.winePrefix.empty() ? DefaultWinePrefix() : PathFromText(options.winePrefix);
  session.Search = {GameSearch::Place::WinePrefix, session.WinePrefix / "system.reg"};
#endif
  if (!options.game.empty()) session.Search = {GameSearch::Place::GameFolder, PathFromText(options.game)};
}

}  // namespace kartwerk::app

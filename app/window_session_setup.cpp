#include "app/window_session_setup.hpp"

#include <filesystem>
#include <iostream>

#include "desktop/startup.hpp"
#include "game/installation_source.hpp"
#include "game/wine_registry.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::app {

void PrepareWindowSession(logic::WindowSession& session, int argc, char** argv, const WindowOptions& options) {
  // Start-up sees the map as the shell hands it over: the program, then the map's path.
  const char* startArgs[] = {argc > 0 ? argv[0] : "kartwerk", options.map.c_str()};
  // The UTF-8 text becomes a wide path on Windows: a folder named "Jürgen" stays that folder.
  session.commandLineMap = platform::PathFromText(
      desktop::StartProgram(options.map.empty() ? 1 : 2, startArgs, session.installs, session.conversion, std::cerr));

  game::InstallationSourceOptions source;
  if (!options.game.empty()) source.game = platform::PathFromText(options.game);
  if (!options.gameVersion.empty()) source.gameVersion = options.gameVersion;
  if (!options.winePrefix.empty()) source.winePrefix = platform::PathFromText(options.winePrefix);
  try {
    session.installs.registry = game::OpenInstallationSource(source);
  } catch (const game::RegistryUnavailable&) {
    // No registry to read: no installation is found, and the browser says so.
  }
#ifndef _WIN32
  session.winePrefix =
      options.winePrefix.empty() ? game::DefaultWinePrefix() : platform::PathFromText(options.winePrefix);
  session.search = {logic::GameSearch::Place::WinePrefix, session.winePrefix / "system.reg"};
#endif
  if (!options.game.empty())
    session.search = {logic::GameSearch::Place::GameFolder, platform::PathFromText(options.game)};
}

}  // namespace kartwerk::app

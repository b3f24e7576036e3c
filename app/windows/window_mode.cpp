// The windows module's entry: start-up rules, the installation source, then the windows'
// main loop. Loaded by the program only when it opens its windows.
#include <filesystem>
#include <iostream>

#include "app/window_options.hpp"
#include "install/installation_source.hpp"
#include "install/startup.hpp"
#include "install/wine_registry.hpp"
#include "ui/gui_application.hpp"
#include "ui/gui_session.hpp"

namespace kartwerk::app {
namespace {

int RunWindowsWith(int argc, char** argv, const WindowOptions& options) {
  GuiSession session;
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
  int qtArgc = argc;  // the application object keeps a reference to it
  return RunWindows(qtArgc, argv, session);
}

}  // namespace
}  // namespace kartwerk::app

#ifdef _WIN32
#define KARTWERK_EXPORT __declspec(dllexport)
#else
#define KARTWERK_EXPORT __attribute__((visibility("default")))
#endif

extern "C" KARTWERK_EXPORT int kartwerk_run_windows(int argc, char** argv,
                                                    const kartwerk::app::WindowOptions& options) {
  return kartwerk::app::RunWindowsWith(argc, argv, options);
}

// The program looks the entry up by this name; a changed signature must change both.
static_assert(std::is_same_v<decltype(kartwerk_run_windows), kartwerk::app::RunWindowsEntry>);

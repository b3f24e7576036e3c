// The window mode of the kartwerk executable: "kartwerk [MAP]" with no subcommand opens the map
// browser, or the slot picker for MAP (as when the file manager opens a map with the program).
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace kartwerk::app {

struct WindowOptions {
  std::string map;         // the map to convert; empty opens the browser
  std::string game;        // --game DIR: this installation instead of the registered ones
  std::string gameVersion; // --game-version TEXT: its version
  std::string winePrefix;  // --wine-prefix DIR: the prefix whose registry names the game
};

// The top-level MAP argument and the options of the window mode.
void AddWindowOptions(CLI::App& app, WindowOptions& options);

// Runs the windows (start-up, association, main loop) and returns the exit status. In a build
// without windows it prints the help instead.
int RunWindowMode(int argc, char** argv, const CLI::App& app, const WindowOptions& options);

}  // namespace kartwerk::app

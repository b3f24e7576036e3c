// What the command line hands to the windows: shared by the program, which parses it, and
// the windows module, which opens the windows with it.
#pragma once

#include <string>

namespace kartwerk::app {

struct WindowOptions {
  std::string map;          // the map to convert; empty opens the browser
  std::string game;         // --game DIR: this installation instead of the registered ones
  std::string gameVersion;  // --game-version TEXT: its version
  std::string winePrefix;   // --wine-prefix DIR: the prefix whose registry names the game
};

// The windows live in a module beside the program, loaded only when the windows open, so
// that the subcommands start without loading the window system's libraries. The module
// exports this entry under kRunWindowsSymbol; it returns the exit status.
using RunWindowsEntry = int(int argc, char** argv, const WindowOptions& options);
inline constexpr const char* kRunWindowsSymbol = "kartwerk_run_windows";

}  // namespace kartwerk::app

// The window mode of the kartwerk executable: "kartwerk [MAP]" with no subcommand opens the map
// browser, or the slot picker for MAP (as when the file manager opens a map with the program).
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "app/window_options.hpp"

namespace kartwerk::app {

// The top-level MAP argument and the options of the window mode.
void AddWindowOptions(CLI::App& app, WindowOptions& options);

// Loads the windows module (beside the program, or lib/kartwerk when installed) and runs the windows
// (start-up, association, main loop); returns the exit status. A build without windows (kartwerk.exe
// for now) says so and lists its commands, exit status 2.
int RunWindowMode(int argc, char** argv, const CLI::App& app, const WindowOptions& options);

}  // namespace kartwerk::app

// The window mode of the kartwerk executable: "kartwerk [MAP]" with no subcommand opens the map
// browser, or the slot picker for MAP (as when the file manager opens a map with the program).
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "app/window_options.hpp"

namespace kartwerk::app {

// The top-level MAP argument and the options of the window mode.
void AddWindowOptions(CLI::App& app, WindowOptions& options);

// Runs the windows (start-up, association, main loop) and returns the exit status: on Windows the
// native windows built into the program; elsewhere the Qt windows, from the windows module beside
// the program (or lib/kartwerk/modules when installed). A build without windows says so and lists its
// commands, exit status 2.
int RunWindowMode(int argc, char** argv, const CLI::App& app, const WindowOptions& options);

}  // namespace kartwerk::app

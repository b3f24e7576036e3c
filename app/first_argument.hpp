// What a first argument that is no subcommand may be: a compiled map for the windows, or a
// mistake told on the command line before any window, association or file is touched.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

namespace kartwerk::app {

// Nothing for an existing compiled map; otherwise the one line to print: the map's own problem
// when the argument looks like a path (a folder separator, an extension, or an existing entry),
// else "unknown command 'convrt'; see kartwerk --help".
std::optional<std::string> FirstArgumentMistake(const std::string& argument);

// The same for the first of the program's arguments when it is neither an option nor one of app's
// subcommands; nothing otherwise.
std::optional<std::string> MistakenFirstArgument(const CLI::App& app, int argc, const char* const* argv);

}  // namespace kartwerk::app

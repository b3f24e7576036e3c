// The shape of the command line as data, for the shell completion: every subcommand with its
// options and arguments, read from the same definitions that make --help and the manual page.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace kartwerk::app {

// One line per subcommand and per option or argument, fields separated by one space:
//   "command NAME"                    a subcommand of the program
//   "COMMAND flag NAME"               an option that takes no value ("-" is the program itself)
//   "COMMAND option NAME"             an option that takes a value, once per spelling (-o, --output)
//   "COMMAND argument NAME"           a positional argument (MAP, BACKUP)
// Hidden options (those of no group) are left out.
std::string CommandTreeText(const CLI::App& app);

// Adds the hidden flag --command-tree: it prints CommandTreeText of app and ends the program
// with status 0, whatever else the command line holds. The build writes the completion from it.
void AddCommandTreeFlag(CLI::App& app);

}  // namespace kartwerk::app

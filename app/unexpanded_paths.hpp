// A path typed with a leading "~" inside quotes (--out '~/maps') reaches the program as it stands:
// the shell expands "~" only unquoted, so the program would make a folder named "~" in the current
// folder. Every command's arguments pass here once, after parsing.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace kartwerk::app {

// One warning for each value given to the chosen subcommand (or the program) that starts with "~".
std::vector<std::string> UnexpandedTildeWarnings(const CLI::App& app);

}  // namespace kartwerk::app

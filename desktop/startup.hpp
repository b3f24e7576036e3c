// The program's start-up, before the first window: the map named on the command line,
// the map kind it implies, and the shell association written anew.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "format/conversion.hpp"
#include "game/game_installations.hpp"

namespace kartwerk::desktop {

// commandLineMap: the first argument, unchanged, or empty when there is none.
std::string CommandLineMapFromArguments(int argc, const char* const* argv);

// The extension of a path from its last dot, the dot included; empty when there is no dot or
// it comes before the last '\', '/' or ':'.
std::string_view MapFileExtension(std::string_view path);

// MapKind from commandLineMap's extension: ".QDM" in any case gives 0, ".QDP" 1, anything else 2.
void SetMapKindFromFile(format::Conversion& conversion, std::string_view commandLineMap);

// Start-up: takes commandLineMap, sets chosenVersion to 0, registers the map types as a start may
// (a failure is reported once on errors and never stops the program) and, when commandLineMap names an existing
// file, sets MapKind from it. Returns commandLineMap.
std::string StartProgram(int argc, const char* const* argv, game::GameInstallations& installs,
                         format::Conversion& conversion, std::ostream& errors);

}  // namespace kartwerk::desktop

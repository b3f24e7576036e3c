// Which registered installations the commands that need the editor can use: an installation is
// complete when its folder holds the editor's script library. Incomplete ones are listed with
// what they lack, passed over when nothing chose them, and named when none is complete.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "game/game_installations.hpp"

namespace kartwerk::game {

// The file, relative to the game folder, that tells a complete installation.
inline constexpr std::string_view kEditorLibrary = "editor\\scridll.dll";

// What the installation lacks for the editor ("editor\scridll.dll"); empty when it is complete.
std::string MissingEditorFile(const InstalledVersion& installation);

// With nothing chosen yet (chosenVersion 0), chooses the first complete installation. Returns the
// numbers (from 1) of the incomplete installations passed over before it; when none is complete,
// chosenVersion stays 0 and the numbers of all of them are returned. A choice already made (by the
// user, or by the map's folder) is kept, and nothing is returned.
std::vector<std::size_t> ChooseFirstCompleteInstallation(GameInstallations& installs);

// "installation 2 (English 2.2, /games/vm2)": how the messages name installation number (from 1).
std::string InstallationName(const GameInstallations& installs, std::size_t number);

// One line per passed-over installation and one for the installation used, for standard error:
// "skipped installation 1 (..): editor\scridll.dll is missing", "using installation 3 (..)".
std::vector<std::string> SkippedInstallationLines(const GameInstallations& installs,
                                                  const std::vector<std::size_t>& skipped);

// Why the game could not be located, on one line: the fixed message, then each incomplete
// installation with its folder and the file it lacks, separated by "; " (or, for an installation
// chosen by the map's folder, that one alone).
std::string GameNotLocatedDetails(const GameInstallations& installs);

}  // namespace kartwerk::game

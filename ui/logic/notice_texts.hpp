// The texts the windows compose for their notices and error reports, beyond the fixed ones
// (UTF-8): where the game was looked for, an installation chosen without its editor.
#pragma once

#include <string>

#include "install/game_installations.hpp"
#include "ui/logic/window_session.hpp"

namespace kartwerk {

// The fixed "could not locate" message, then where the game was looked for and how to name it.
std::string GameNotLocatedText(const GameSearch& search);

// The editor could not be started: why, in the system's words, then the program and the folder it
// was started in, each on a line of its own so that no window breaks a path in two.
std::string EditorStartFailureText(const std::string& reason, const std::string& program, const std::string& folder);

// The chosen installation (ChosenVersion) has no editor: its name and folder, and what is missing.
std::string NoEditorInInstallationText(const GameInstallations& installs);

}  // namespace kartwerk

// The texts the windows compose for their notices and error reports, beyond the fixed ones:
// where the game was looked for, an installation chosen without its editor, an editor that
// could not be started.
#pragma once

#include <QString>

#include "install/game_installations.hpp"
#include "ui/editor_launch.hpp"
#include "ui/gui_session.hpp"

namespace kartwerk {

// The fixed "could not locate" message, then where the game was looked for and how to name it.
QString GameNotLocatedNotice(const GameSearch& search);

// The chosen installation (ChosenVersion) has no editor: its name and folder, and what is missing.
QString NoEditorInInstallation(const GameInstallations& installs);

// "YES" could not start the editor: what was tried, and that Wine must be installed.
QString EditorStartFailure(const EditorLaunch& launch, const std::string& reason);

}  // namespace kartwerk

// The texts the windows compose for their notices and error reports, beyond the fixed ones
// (UTF-8): where the game was looked for, an installation chosen without its editor, an editor
// that could not be started.
#pragma once

#include <string>

#include "install/game_installations.hpp"
#include "ui/logic/editor_launch.hpp"
#include "ui/logic/window_session.hpp"

namespace kartwerk {

// The fixed "could not locate" message, then where the game was looked for and how to name it.
std::string GameNotLocatedText(const GameSearch& search);

// The chosen installation (ChosenVersion) has no editor: its name and folder, and what is missing.
std::string NoEditorInInstallationText(const GameInstallations& installs);

// "YES" could not start the editor: what was tried and where. On a desktop without Windows the
// editor is started through Wine, which must then be installed.
std::string EditorStartFailureText(const EditorLaunch& launch, bool throughWine);

}  // namespace kartwerk

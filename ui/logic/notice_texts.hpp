// The texts the windows compose for their notices and error reports, beyond the fixed ones
// (UTF-8): where the game was looked for, an installation chosen without its editor, an editor
// that could not be started.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "game/game_installations.hpp"
#include "ui/logic/editor_launch.hpp"
#include "ui/logic/window_session.hpp"

namespace kartwerk::logic {

// Why the game's editor cannot be used, and how to name the game, in words fit for where it was
// looked for (no Wine prefix where the system's own registry was read): an installation the
// system's registry names, found without its editor, is named with its folder and the missing
// file; otherwise the fixed
// "could not locate" message and where the game was looked for.
std::string GameNotLocatedText(const GameSearch& search, const game::GameInstallations& installs);
std::string GameNotLocatedText(const GameSearch& search);

// The chosen installation (ChosenVersion) has no editor: its name and folder, and what is missing.
std::string NoEditorInInstallationText(const game::GameInstallations& installs);

// "YES" could not start the editor: why, in the system's words, then the program (behind "wine "
// where the editor is started through Wine) and the folder it was started in, each on a line of
// its own so that no window breaks a path in two.
std::string EditorStartFailureText(const EditorLaunch& launch, const std::string& reason, bool throughWine);
// The commands that list and restore the backups, as the user can type them: "kartwerk" on a
// system that finds it on the search path; on Windows the program's whole quoted path, which a
// command prompt runs wherever it is.
std::string BackupCommandsText(const std::filesystem::path& program, bool windows);

// The reason given when a session was made without a way to start programs.
inline constexpr char kCannotStartPrograms[] = "this program cannot start other programs";

// What a conversion warned about (a damaged map it repaired, mission files sharing a folder): a
// heading, the shown warnings one a line, then how many more there were (total counts them all).
// Empty when there were none.
std::string MapWarningsText(const std::vector<std::string>& shown, std::size_t total);
// How many of a conversion's warnings a notice lists; the rest are counted.
inline constexpr std::size_t kNoticeWarnings = 6;

}  // namespace kartwerk::logic

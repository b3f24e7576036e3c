// Starting the game's editor after a conversion from the Qt windows: through Wine, in the
// installation's prefix, with the editor's own folder as the working folder. The program does not
// wait for the editor.
#pragma once

#include <QStringList>
#include <filesystem>

#include "ui/logic/editor_launch.hpp"

namespace kartwerk::qt {

// The process to start: "wine" with the editor as its argument, and WINEPREFIX set when the
// installation came from a prefix.
struct WineEditorCommand {
  QString program;
  QStringList arguments;
  QString workingFolder;
  QStringList environment;  // NAME=value entries added to the program's own environment
};
WineEditorCommand WineEditorCommandFor(const EditorLaunch& launch);

// Starts the editor through Wine without waiting; whether the editor itself came up is not
// reported (a missing editor simply does not start). Returns whether Wine was started.
bool StartEditorThroughWine(const EditorLaunch& launch);

}  // namespace kartwerk::qt

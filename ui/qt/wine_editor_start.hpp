// Starting the game's editor after a conversion from the Qt windows: through Wine, in the
// installation's prefix, with the editor's own folder as the working folder. The program does not
// wait for the editor.
#pragma once

#include <QStringList>
#include <filesystem>
#include <optional>
#include <string>

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
WineEditorCommand WineEditorCommandFor(const logic::EditorLaunch& launch);

// Starts the editor through Wine without waiting. Returns nothing when the start was handed over,
// otherwise why not: the editor's file is missing, Wine is not installed, or the system's error.
std::optional<std::string> StartEditorThroughWine(const logic::EditorLaunch& launch);

}  // namespace kartwerk::qt

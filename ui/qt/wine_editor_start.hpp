// Starting the game's editor after a conversion: on Windows through the shell's "open" action,
// elsewhere through Wine in the installation's prefix. Either way the editor's own folder is the
// working folder, and the program does not wait for the editor.
#pragma once

#include <QStringList>
#include <filesystem>

#include "ui/logic/editor_launch.hpp"

namespace kartwerk {

// The process to start for a launch off Windows: "wine" with the editor as its argument, and
// WINEPREFIX set when the installation came from a prefix.
struct EditorCommand {
  QString program;
  QStringList arguments;
  QString workingFolder;
  QStringList environment;  // NAME=value entries added to the program's own environment
};
EditorCommand EditorCommandFor(const EditorLaunch& launch);

// Starts the editor without waiting; whether it started is not reported (a missing editor
// simply does not start). Returns whether the start was handed over.
bool StartEditor(const EditorLaunch& launch);

}  // namespace kartwerk

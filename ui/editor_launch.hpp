// Starting the game's editor after a conversion: on Windows through the shell's "open" action,
// elsewhere through Wine in the installation's prefix. Either way the editor's own folder is the
// working folder, and the program does not wait for the editor.
#pragma once

#include <QStringList>
#include <filesystem>
#include <optional>
#include <string>

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

// Starts the editor without waiting. Returns nothing when the start was handed over, otherwise
// why not: the editor's file is missing, Wine is not installed, or the system's error.
std::optional<std::string> StartEditor(const EditorLaunch& launch);

}  // namespace kartwerk

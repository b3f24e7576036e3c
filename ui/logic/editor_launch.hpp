// Where the game's editor is started after a conversion: the program, its folder as the working
// folder, and the Wine prefix the installation was found in.
#pragma once

#include <filesystem>

namespace kartwerk::logic {

struct EditorLaunch {
  std::filesystem::path program;        // gameFolder\editor\edit3.exe
  std::filesystem::path workingFolder;  // gameFolder\editor
  std::filesystem::path winePrefix;     // the prefix the installation was found in; empty for none
};

}  // namespace kartwerk::logic

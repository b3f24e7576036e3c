// The program's own executable, which the shell association starts, and its folder, where the
// program's data files and the windows module are installed.
#pragma once

#include <filesystem>

namespace kartwerk::platform {

// The full path of the running executable; empty when the system does not tell it.
std::filesystem::path ProgramPath();

// The folder of the running executable; the current folder when the system does not tell it.
std::filesystem::path ProgramFolder();

}  // namespace kartwerk::platform

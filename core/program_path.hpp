// The program's own executable, which the shell association starts.
#pragma once

#include <filesystem>

namespace kartwerk {

// The full path of the running executable; empty when the system does not tell it.
std::filesystem::path ProgramPath();

}  // namespace kartwerk

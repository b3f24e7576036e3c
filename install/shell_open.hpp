// Starting a program through the Windows shell's "open" action, as a double-click in Explorer
// would: the way the game's editor is started after a conversion on Windows.
#pragma once

#ifdef _WIN32
#include <filesystem>

namespace kartwerk {

// Starts program with no parameters in workingFolder, shown normally, without waiting for it.
// Returns whether the shell accepted the start (a missing program is refused).
bool OpenWithShell(const std::filesystem::path& program, const std::filesystem::path& workingFolder);

}  // namespace kartwerk
#endif

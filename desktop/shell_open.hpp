// Starting a program through the Windows shell's "open" action, as a double-click in Explorer
// would: the way the game's editor is started after a conversion on Windows.
#pragma once

#ifdef _WIN32
#include <filesystem>
#include <optional>
#include <string>

namespace kartwerk::desktop {

// Starts program with no parameters in workingFolder, shown normally, without waiting for it.
// Returns nothing when the shell started it, otherwise why not in the system's words (a missing
// program is refused).
std::optional<std::string> OpenWithShell(const std::filesystem::path& program,
                                         const std::filesystem::path& workingFolder);

}  // namespace kartwerk::desktop
#endif

// Running the desktop's own helper programs (update-mime-database, update-desktop-database).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kartwerk::desktop {

// The executable of that name in a folder of PATH; empty when there is none.
std::filesystem::path FindProgramInPath(std::string_view name);

// Runs program with arguments, its input and output going nowhere, and waits for it.
// Returns its exit status; -1 when it could not be started or did not end normally.
int RunQuietly(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace kartwerk::desktop

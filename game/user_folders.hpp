// The user's folders as the desktop and Wine find them.
#pragma once

#include <filesystem>

namespace kartwerk::game {

// HOME (USERPROFILE on Windows), else the account's home folder from the system.
std::filesystem::path HomeFolder();

// XDG_DATA_HOME when it is set to an absolute path, otherwise HOME/.local/share.
std::filesystem::path UserDataHome();

// Where the program keeps its own data for this user: the local application data folder on
// Windows, UserDataHome() elsewhere.
std::filesystem::path UserProgramDataFolder();

}  // namespace kartwerk::game

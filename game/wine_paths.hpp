// Windows paths inside a Wine prefix: "C:\Games\Vornmark II" names prefix/dosdevices/c:/Games/...,
// where dosdevices/c: is Wine's link to the drive (normally ../drive_c).
#pragma once

#include <filesystem>
#include <string_view>

namespace kartwerk::game {

// The local path of a Windows path in the prefix, each component after the drive resolved without
// regard to case as Wine does. Accepts drive paths ("C:\a", "c:/a"), "\\?\" long forms and UNC paths
// ("\\server\share", through dosdevices/unc); empty separators and "." are dropped and ".." steps back.
// An empty path for anything else (a relative path, a path without a drive).
std::filesystem::path WineHostPath(const std::filesystem::path& prefix, std::string_view windowsPath);

}  // namespace kartwerk::game

// Choosing where the game's installations come from: a game folder named on the command
// line, a Wine prefix's registry, every Wine prefix of the user's home folder, or the system's
// own registry.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "game/registry_list.hpp"

namespace kartwerk::game {

struct InstallationSourceOptions {
  std::optional<std::filesystem::path> game;        // --game DIR: this folder, no registry
  std::optional<std::string> gameVersion;           // --game-version TEXT: that folder's version
  std::optional<std::filesystem::path> winePrefix;  // --wine-prefix DIR
};

// Closes every message saying that no registry was found: the two ways to name the game.
inline constexpr std::string_view kNameTheGameHint =
    "name the Wine prefix that holds the game with --wine-prefix DIR, or the game's folder with --game DIR";

// The system's own registry: the Windows registry on Windows; elsewhere the registry of the Wine
// prefix in WINEPREFIX when it is set, else that of every prefix FindWinePrefixes finds in the home
// folder (~/.wine first), each with its origin. Throws RegistryUnavailable, saying where it looked,
// when no registry can be read.
RegistryList OpenDefaultRegistry();

// The source the options name: the game folder when given (version gameVersion, else the default),
// else the Wine prefix when given, else the default registry. Throws RegistryUnavailable.
RegistryList OpenInstallationSource(const InstallationSourceOptions& options);

}  // namespace kartwerk::game

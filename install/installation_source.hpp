// Choosing where the game's installations come from: a game folder named on the command
// line, a Wine prefix's registry, or the system's own registry.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "install/registry.hpp"

namespace kartwerk {

struct InstallationSourceOptions {
  std::optional<std::filesystem::path> game;  // --game DIR: this folder, no registry
  std::optional<std::string> gameVersion;     // --game-version TEXT: that folder's version
  std::optional<std::filesystem::path> winePrefix;  // --wine-prefix DIR
};

// The system's own registry: the Windows registry on Windows, elsewhere the registry of the
// Wine prefix in WINEPREFIX (else ~/.wine). Throws RegistryUnavailable when it cannot be read.
std::shared_ptr<const RegistrySource> OpenDefaultRegistry();

// The source the options name: the game folder when given (version gameVersion, else the default),
// else the Wine prefix when given, else the default registry. Throws RegistryUnavailable.
std::shared_ptr<const RegistrySource> OpenInstallationSource(const InstallationSourceOptions& options);

}  // namespace kartwerk

// A game folder named on the command line ("--game DIR"), served as a registry that holds
// that one installation, so that choosing, the version kind and the editor check work as
// for a registered installation.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "game/registry.hpp"

namespace kartwerk::game {

// The version an installation named on the command line has when none is given.
inline constexpr const char* kDefaultExplicitVersion = "2.2";

// A registry holding one installation: folder (made absolute) with the given version and no language.
std::shared_ptr<const RegistrySource> ExplicitInstallation(const std::filesystem::path& folder,
                                                           const std::string& version = kDefaultExplicitVersion);

}  // namespace kartwerk::game

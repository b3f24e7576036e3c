// Finding the game's installations in the registry, choosing one, and telling its version kind.
// The game's installer keeps one sub-key per installation under the game key, each with the
// values "target folder", "version" and "language".
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "game/game_installations.hpp"
#include "game/registry.hpp"

namespace kartwerk::game {

inline constexpr std::string_view kGameKeyPath = "Software\\Brannox\\Vornmark II";
// Where a 32-bit installer's key lands in a 64-bit registry.
inline constexpr std::string_view kGameKeyWow64Path = "Software\\Wow6432Node\\Brannox\\Vornmark II";

// The game key, or its Wow6432Node twin when the key itself is absent; nullptr when both are.
std::unique_ptr<RegistryKey> OpenGameKey(const RegistrySource& registry);

// Refills installedVersions with every registered installation whose folder exists, in
// enumeration order, however many. Without a game key the list stays.
void EnumerateInstallations(GameInstallations& installs);

// Opens the chosen installation (installedVersions entry chosenVersion, else the first entry,
// else the first sub-key), sets GameVersionKind from its version and, when its folder holds
// "editor\scridll.dll", sets gameFolder and returns true. On false gameFolder keeps its value.
bool LocateGame(GameInstallations& installs);

// Sets chosenVersion to the first installation whose folder holds mapPath; leaves it when none does.
void ChooseInstallationForMap(GameInstallations& installs, const std::filesystem::path& mapPath);

// A path inside the game folder ("editor\maps.src"), each component found without regard to case
// when its exact spelling is missing.
std::filesystem::path GamePath(const GameInstallations& installs, std::string_view relative);

// The message shown when the game cannot be located.
inline constexpr std::string_view kGameNotLocatedMessage =
    "Could not locate Vornmark II due to missing or incorrect registry entries. You might wish to reinstall the game.";

}  // namespace kartwerk::game

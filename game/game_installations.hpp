// What the program knows about the game's installations during one run: the registered
// installations, the one chosen, its folder and version kind, and the editor's slot lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "format/game_version.hpp"
#include "game/registry_list.hpp"

namespace kartwerk::game {

// One registered installation whose folder exists.
struct InstalledVersion {
  std::string folder;                // "target folder" as the registry holds it
  std::filesystem::path hostFolder;  // that folder on this system
  std::string version;               // "version", such as "1.9", "2.0" or "2.2"
  std::string language;              // "language", free text shown to the user
  std::string subKey;                // the sub-key of the game key it was read from
  std::size_t registry = 0;          // the entry of GameInstallations::Registry it was read from
};

// The version picker offers this many; the others are reached with --game DIR.
inline constexpr std::size_t kMaxInstalledVersions = 6;
inline constexpr std::size_t kSlotCount = 255;

struct GameInstallations {
  // Where installations are registered, searched in order; without one, no game is ever found.
  RegistryList registry;

  // Every one found, numbered from 1 in enumeration order (entry i is installedVersions[i - 1]).
  std::vector<InstalledVersion> installedVersions;
  // The installation chosen by the user or by a command-line map, numbered from 1; 0 for none.
  std::uint8_t chosenVersion = 0;
  // The chosen installation's folder on this system; empty until the game has been located.
  std::filesystem::path gameFolder;
  // The Wine prefix the located game was registered in; empty when its source is no prefix.
  std::filesystem::path gameWinePrefix;
  // Which keyword set the chosen installation's version selects; none until first set.
  format::GameVersionKind gameVersionKind = format::GameVersionKind::None;
  // One line per editor slot, entry n for slot n; entry 255 stays empty.
  std::array<std::string, kSlotCount + 1> slotList;
};

}  // namespace kartwerk::game

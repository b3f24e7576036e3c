// The editor slot a command-line conversion writes into ("convert MAP --slot N"): the game
// located as a start with a map file locates it, and that slot's folder in it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/game_version.hpp"
#include "install/installation_source.hpp"

namespace kartwerk {

// The game cannot be located; the message is the one the windows show.
class GameNotLocated : public std::runtime_error {
 public:
  GameNotLocated();
};

struct SlotTarget {
  std::filesystem::path GameFolder;
  std::filesystem::path SlotFolder;  // GameFolder\editor\maps.src\map.NNN, existing parts found without regard to case
  GameVersionKindCode GameVersionKind = CurrentKeywords;
};

// Locates the game from source (with several installations, the one holding map), and gives the
// folder of slot (0 to 254) and the version kind: from versionText when given, otherwise from the
// located installation's version. Throws GameNotLocated, RegistryUnavailable, or std::out_of_range
// for a slot outside 0 to 254.
SlotTarget LocateSlot(const InstallationSourceOptions& source, int slot, const std::filesystem::path& map,
                      const std::optional<std::string>& versionText);

}  // namespace kartwerk

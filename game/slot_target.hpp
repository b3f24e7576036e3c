// The editor slot a command-line conversion writes into ("convert MAP --slot N"): the game
// located as a start with a map file locates it, and that slot's folder in it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "format/game_version.hpp"
#include "game/installation_source.hpp"

namespace kartwerk::game {

// The game cannot be located; the message is the one the windows show, then what each
// incomplete installation lacks.
class GameNotLocated : public std::runtime_error {
 public:
  explicit GameNotLocated(const std::string& details);
};

// The slot number a command-line text names: plain decimal digits, 0 to 254 ("007" is 7).
std::optional<int> ParseSlotNumber(std::string_view text);

// What a text that names no slot is told: "'abc' is not a slot number (0 to 254)".
std::string NotASlotNumberText(std::string_view text);

struct SlotTarget {
  std::filesystem::path gameFolder;
  std::filesystem::path slotFolder;  // gameFolder\editor\maps.src\map.NNN, existing parts found without regard to case
  format::GameVersionKind gameVersionKind = format::GameVersionKind::CurrentKeywords;
  // Installations passed over for lacking their editor, and the one used, one line each.
  std::vector<std::string> skippedLines;
};

// Locates the game from source (with several installations, the one holding map, else the first
// complete one), and gives the
// folder of slot (0 to 254) and the version kind: from versionText when given, otherwise from the
// located installation's version. Throws GameNotLocated, RegistryUnavailable, or std::out_of_range
// for a slot outside 0 to 254.
SlotTarget LocateSlot(const InstallationSourceOptions& source, int slot, const std::filesystem::path& map,
                      const std::optional<std::string>& versionText);

}  // namespace kartwerk::game

// The editor slot a command's --slot N names, in the installation its --game or --wine-prefix
// option (else the registry) gives.
#pragma once

#include <optional>
#include <string>

#include "game/slot_target.hpp"

namespace kartwerk::app {

// game and winePrefix as typed (empty when not given); version: --game-version when given.
game::SlotTarget LocateCommandSlot(const std::string& game, const std::string& winePrefix, int slot,
                                   const std::string& map, const std::optional<std::string>& version);

}  // namespace kartwerk::app

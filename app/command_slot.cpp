#include "app/command_slot.hpp"

#include "platform/path_text.hpp"

namespace kartwerk::app {

game::SlotTarget LocateCommandSlot(const std::string& game, const std::string& winePrefix, int slot,
                                   const std::string& map, const std::optional<std::string>& version) {
  game::InstallationSourceOptions source;
  if (!game.empty()) source.game = platform::PathFromText(game);
  if (!winePrefix.empty()) source.winePrefix = platform::PathFromText(winePrefix);
  return game::LocateSlot(source, slot, platform::PathFromText(map), version);
}

}  // namespace kartwerk::app

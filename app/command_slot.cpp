#include "app/command_slot.hpp"

#include "platform/path_text.hpp"

namespace kartwerk::app {

SlotTarget LocateCommandSlot(const std::string& game, const std::string& winePrefix, int slot, const std::string& map,
                             const std::optional<std::string>& version) {
  InstallationSourceOptions source;
  if (!game.empty()) source.game = PathFromText(game);
  if (!winePrefix.empty()) source.winePrefix = PathFromText(winePrefix);
  return LocateSlot(source, slot, PathFromText(map), version);
}

}  // namespace kartwerk::app

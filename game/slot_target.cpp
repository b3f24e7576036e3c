#include "game/slot_target.hpp"

#include "game/complete_installation.hpp"
#include "game/game_location.hpp"
#include "game/slot_store.hpp"

namespace kartwerk::game {

GameNotLocated::GameNotLocated(const std::string& details) : std::runtime_error(details) {}

std::optional<int> ParseSlotNumber(std::string_view text) {
  // Three digits say every slot; more can only be leading zeros or a number past the last slot.
  if (text.empty() || text.size() > 8) return std::nullopt;
  int number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  if (number >= static_cast<int>(kSlotCount)) return std::nullopt;
  return number;
}

std::string NotASlotNumberText(std::string_view text) {
  return "'" + std::string(text) + "' is not a slot number (0 to " + std::to_string(kSlotCount - 1) + ")";
}

SlotTarget LocateSlot(const InstallationSourceOptions& source, int slot, const std::filesystem::path& map,
                      const std::optional<std::string>& versionText) {
  if (slot < 0 || slot >= static_cast<int>(kSlotCount)) {
    throw std::out_of_range("Slot " + std::to_string(slot) + " does not exist: the editor has slots 0 to 254");
  }
  InstallationSourceOptions options = source;
  if (options.game && versionText) options.gameVersion = versionText;
  GameInstallations installs;
  installs.registry = OpenInstallationSource(options);
  EnumerateInstallations(installs);
  if (installs.installedVersions.size() > 1) ChooseInstallationForMap(installs, map);
  const std::vector<std::size_t> skipped = ChooseFirstCompleteInstallation(installs);
  if (!LocateGame(installs)) throw GameNotLocated(GameNotLocatedDetails(installs));

  SlotTarget target;
  target.gameFolder = installs.gameFolder;
  target.slotFolder = SlotFolderPath(installs.gameFolder, slot);
  target.gameVersionKind = versionText ? format::GameVersionKindOf(*versionText) : installs.gameVersionKind;
  target.skippedLines = SkippedInstallationLines(installs, skipped);
  return target;
}

}  // namespace kartwerk::game

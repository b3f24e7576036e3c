#include "install/slot_target.hpp"

#include "install/game_location.hpp"
#include "install/slot_store.hpp"

namespace kartwerk {

GameNotLocated::GameNotLocated() : std::runtime_error(std::string(kGameNotLocatedMessage)) {}

SlotTarget LocateSlot(const InstallationSourceOptions& source, int slot, const std::filesystem::path& map,
                      const std::optional<std::string>& versionText) {
  if (slot < 0 || slot >= static_cast<int>(kSlotCount)) {
    throw std::out_of_range("Slot " + std::to_string(slot) + " does not exist: the editor has slots 0 to 254");
  }
  InstallationSourceOptions options = source;
  if (options.game && versionText) options.gameVersion = versionText;
  GameInstallations installs;
  installs.Registry = OpenInstallationSource(options);
  EnumerateInstallations(installs);
  if (installs.InstalledVersions.size() > 1) ChooseInstallationForMap(installs, map);
  if (!LocateGame(installs)) throw GameNotLocated();

  SlotTarget target;
  target.GameFolder = installs.GameFolder;
  target.SlotFolder = SlotFolderPath(installs.GameFolder, slot);
  target.GameVersionKind = versionText ? GameVersionKindOf(*versionText) : installs.GameVersionKind;
  return target;
}

}  // namespace kartwerk

#include "game/game_location.hpp"

#include <algorithm>
#include <string>
#include <system_error>

#include "platform/path_lookup.hpp"

namespace kartwerk::game {
namespace {

bool IsDirectory(const std::filesystem::path& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_directory(path, ec);
}

bool IsFile(const std::filesystem::path& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

// The path with symbolic links resolved as far as it exists, for comparing folders.
std::filesystem::path Comparable(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (ec) return path.lexically_normal();
  std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, ec);
  return ec ? absolute.lexically_normal() : canonical;
}

// Whether path lies in folder, comparing whole components exactly.
bool LiesIn(const std::filesystem::path& path, const std::filesystem::path& folder) {
  auto p = path.begin();
  for (auto f = folder.begin(); f != folder.end(); ++f) {
    if (f->empty()) continue;  // the empty last component of a folder written with a trailing slash
    if (p == path.end() || *p != *f) return false;
    ++p;
  }
  return true;
}

// A registry's game key with its sub-keys, in enumeration order.
struct OpenedGameKey {
  std::size_t registry = 0;
  std::unique_ptr<RegistryKey> key;
  std::vector<std::string> subKeys;
};

// The game key of every registry that has one, in search order.
std::vector<OpenedGameKey> OpenGameKeys(const GameInstallations& installs) {
  std::vector<OpenedGameKey> keys;
  for (std::size_t r = 0; r < installs.registry.size(); ++r) {
    if (!installs.registry[r].source) continue;
    if (std::unique_ptr<RegistryKey> key = OpenGameKey(*installs.registry[r].source)) {
      std::vector<std::string> subKeys = key->SubKeyNames();
      keys.push_back({r, std::move(key), std::move(subKeys)});
    }
  }
  return keys;
}

struct ChosenSubKey {
  std::size_t registry = 0;
  std::unique_ptr<RegistryKey> key;
};

// The sub-key LocateGame opens: the chosen installation's own sub-key in its own registry, so
// that the choice holds even when registrations with missing folders come before it.
ChosenSubKey OpenChosenSubKey(const GameInstallations& installs, const std::vector<OpenedGameKey>& gameKeys) {
  const std::size_t chosen = installs.chosenVersion;
  const InstalledVersion* entry = nullptr;
  if (chosen > 0 && chosen <= installs.installedVersions.size()) entry = &installs.installedVersions[chosen - 1];
  if (chosen == 0 && !installs.installedVersions.empty()) entry = &installs.installedVersions.front();
  if (entry) {
    for (const OpenedGameKey& game : gameKeys) {
      if (game.registry == entry->registry) return {game.registry, game.key->OpenSubKey(entry->subKey)};
    }
    return {};
  }
  // Nothing was enumerated, or a number past the list: count among all sub-keys, registry by registry.
  std::size_t position = chosen > 0 ? chosen - 1 : 0;
  for (const OpenedGameKey& game : gameKeys) {
    if (position < game.subKeys.size()) return {game.registry, game.key->OpenSubKey(game.subKeys[position])};
    position -= game.subKeys.size();
  }
  return {};
}

}  // namespace

std::unique_ptr<RegistryKey> OpenGameKey(const RegistrySource& registry) {
  if (auto key = registry.OpenMachineKey(kGameKeyPath)) return key;
  return registry.OpenMachineKey(kGameKeyWow64Path);
}

void EnumerateInstallations(GameInstallations& installs) {
  const std::vector<OpenedGameKey> gameKeys = OpenGameKeys(installs);
  if (gameKeys.empty()) return;
  installs.installedVersions.clear();
  for (const OpenedGameKey& game : gameKeys) {
    const RegistrySource& registry = *installs.registry[game.registry].source;
    for (const std::string& name : game.subKeys) {
      std::unique_ptr<RegistryKey> subKey = game.key->OpenSubKey(name);
      if (!subKey) continue;
      InstalledVersion entry;
      entry.folder = subKey->ReadString("target folder");
      entry.hostFolder = registry.HostFolder(entry.folder);
      if (!IsDirectory(entry.hostFolder)) continue;
      entry.version = subKey->ReadString("version");
      entry.language = subKey->ReadString("language");
      entry.subKey = name;
      entry.registry = game.registry;
      installs.installedVersions.push_back(std::move(entry));
    }
  }
}

bool LocateGame(GameInstallations& installs) {
  const std::vector<OpenedGameKey> gameKeys = OpenGameKeys(installs);
  ChosenSubKey chosen = OpenChosenSubKey(installs, gameKeys);
  if (!chosen.key) return false;  // no game key, no sub-key, or the chosen one is gone

  installs.gameVersionKind = format::GameVersionKindOf(chosen.key->ReadString("version"));
  const RegistryEntry& registry = installs.registry[chosen.registry];
  const std::filesystem::path folder = registry.source->HostFolder(chosen.key->ReadString("target folder"));
  if (folder.empty() || !IsFile(platform::JoinIgnoringCase(folder, "editor\\scridll.dll"))) return false;
  installs.gameFolder = folder;
  installs.gameWinePrefix = registry.winePrefix;
  return true;
}

void ChooseInstallationForMap(GameInstallations& installs, const std::filesystem::path& mapPath) {
  const std::filesystem::path map = Comparable(mapPath);
  // chosenVersion counts to 255: a map in a later installation's folder chooses none.
  const std::size_t count = std::min<std::size_t>(installs.installedVersions.size(), 255);
  for (std::size_t i = 0; i < count; ++i) {
    if (LiesIn(map, Comparable(installs.installedVersions[i].hostFolder))) {
      installs.chosenVersion = static_cast<std::uint8_t>(i + 1);
      return;
    }
  }
}

std::filesystem::path GamePath(const GameInstallations& installs, std::string_view relative) {
  return platform::JoinIgnoringCase(installs.gameFolder, relative);
}

}  // namespace kartwerk::game

#include "install/game_location.hpp"

#include <algorithm>
#include <string>
#include <system_error>

#include "core/path_lookup.hpp"

namespace kartwerk {
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

// The sub-key LocateGame opens: the chosen installation's own sub-key, so that the choice
// holds even when registrations with missing folders come before it.
std::unique_ptr<RegistryKey> OpenChosenSubKey(const GameInstallations& installs, const RegistryKey& gameKey,
                                              const std::vector<std::string>& subKeys) {
  const std::size_t chosen = installs.ChosenVersion;
  if (chosen > 0 && chosen <= installs.InstalledVersions.size()) {
    return gameKey.OpenSubKey(installs.InstalledVersions[chosen - 1].subKey);
  }
  if (chosen == 0 && !installs.InstalledVersions.empty()) {
    return gameKey.OpenSubKey(installs.InstalledVersions.front().subKey);
  }
  // Nothing was enumerated, or a number past the list: count among all sub-keys.
  const std::size_t position = chosen > 0 ? chosen - 1 : 0;
  if (position >= subKeys.size()) return nullptr;
  return gameKey.OpenSubKey(subKeys[position]);
}

}  // namespace

std::unique_ptr<RegistryKey> OpenGameKey(const RegistrySource& registry) {
  if (auto key = registry.OpenMachineKey(GameKeyPath)) return key;
  return registry.OpenMachineKey(GameKeyWow64Path);
}

std::uint8_t VersionKindOf(std::string_view version) { return version == "1.9" ? 1 : 2; }

void EnumerateInstallations(GameInstallations& installs) {
  if (!installs.Registry) return;
  std::unique_ptr<RegistryKey> gameKey = OpenGameKey(*installs.Registry);
  if (!gameKey) return;
  installs.InstalledVersions.clear();
  for (const std::string& name : gameKey->SubKeyNames()) {
    if (installs.InstalledVersions.size() >= MaxInstalledVersions) break;  // the picker offers six
    std::unique_ptr<RegistryKey> subKey = gameKey->OpenSubKey(name);
    if (!subKey) continue;
    InstalledVersion entry;
    entry.folder = subKey->ReadString("target folder");
    entry.hostFolder = installs.Registry->HostFolder(entry.folder);
    if (!IsDirectory(entry.hostFolder)) continue;
    entry.version = subKey->ReadString("version");
    entry.language = subKey->ReadString("language");
    entry.subKey = name;
    installs.InstalledVersions.push_back(std::move(entry));
  }
}

bool LocateGame(GameInstallations& installs) {
  if (!installs.Registry) return false;
  std::unique_ptr<RegistryKey> gameKey = OpenGameKey(*installs.Registry);
  if (!gameKey) return false;
  const std::vector<std::string> subKeys = gameKey->SubKeyNames();
  if (subKeys.empty()) return false;
  std::unique_ptr<RegistryKey> chosen = OpenChosenSubKey(installs, *gameKey, subKeys);
  if (!chosen) return false;

  installs.GameVersionKind = VersionKindOf(chosen->ReadString("version"));
  const std::filesystem::path folder = installs.Registry->HostFolder(chosen->ReadString("target folder"));
  if (folder.empty() || !IsFile(JoinIgnoringCase(folder, "editor\\scridll.dll"))) return false;
  installs.GameFolder = folder;
  return true;
}

void ChooseInstallationForMap(GameInstallations& installs, const std::filesystem::path& mapPath) {
  const std::filesystem::path map = Comparable(mapPath);
  for (std::size_t i = 0; i < installs.InstalledVersions.size(); ++i) {
    if (LiesIn(map, Comparable(installs.InstalledVersions[i].hostFolder))) {
      installs.ChosenVersion = static_cast<std::uint8_t>(i + 1);
      return;
    }
  }
}

std::filesystem::path GamePath(const GameInstallations& installs, std::string_view relative) {
  return JoinIgnoringCase(installs.GameFolder, relative);
}

}  // namespace kartwerk

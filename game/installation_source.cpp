#include "game/installation_source.hpp"

#include <cstdlib>

#include "game/explicit_installation.hpp"
#include "game/wine_registry.hpp"

#ifdef _WIN32
#include "game/registry_win32.hpp"
#else
#include "game/user_folders.hpp"
#include "game/wine_prefixes.hpp"
#endif

namespace kartwerk::game {
namespace {

// One named prefix; its failure says how else the game can be named.
RegistryList OpenNamedPrefix(const std::filesystem::path& prefix, std::string origin) {
  RegistryList list;
  try {
    list.Add({OpenWinePrefixRegistry(prefix), std::move(origin), prefix});
  } catch (const RegistryUnavailable& e) {
    throw RegistryUnavailable(std::string(e.what()) + "; " + std::string(kNameTheGameHint));
  }
  return list;
}

}  // namespace

RegistryList OpenDefaultRegistry() {
#ifdef _WIN32
  return OpenWin32Registry();
#else
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return OpenNamedPrefix(prefix, "Wine prefix");
  const std::filesystem::path home = HomeFolder();
  RegistryList list;
  std::string firstFailure;
  for (const FoundWinePrefix& found : FindWinePrefixes(home)) {
    try {
      list.Add({OpenWinePrefixRegistry(found.folder), found.origin, found.folder});
    } catch (const RegistryUnavailable& e) {
      // A damaged prefix hides no other one.
      if (firstFailure.empty()) firstFailure = e.what();
    }
  }
  if (!list.empty()) return list;
  if (!firstFailure.empty()) throw RegistryUnavailable(firstFailure + "; " + std::string(kNameTheGameHint));
  throw RegistryUnavailable("No Wine prefix with a registry found (looked in " + WinePrefixPlacesText(home) + "); " +
                            std::string(kNameTheGameHint));
#endif
}

RegistryList OpenInstallationSource(const InstallationSourceOptions& options) {
  if (options.game) return ExplicitInstallation(*options.game, options.gameVersion.value_or(kDefaultExplicitVersion));
  if (options.winePrefix) return OpenNamedPrefix(*options.winePrefix, "Wine prefix");
  return OpenDefaultRegistry();
}

}  // namespace kartwerk::game

#include "install/installation_source.hpp"

#include "install/explicit_installation.hpp"
#include "install/wine_registry.hpp"

#ifdef _WIN32
#include "install/registry_win32.hpp"
#endif

namespace kartwerk {

std::shared_ptr<const RegistrySource> OpenDefaultRegistry() {
#ifdef _WIN32
  return OpenWin32Registry();
#else
  return OpenWinePrefixRegistry(DefaultWinePrefix());
#endif
}

std::shared_ptr<const RegistrySource> OpenInstallationSource(const InstallationSourceOptions& options) {
  if (options.game) return ExplicitInstallation(*options.game, options.gameVersion.value_or(DefaultExplicitVersion));
  if (options.winePrefix) return OpenWinePrefixRegistry(*options.winePrefix);
  return OpenDefaultRegistry();
}

}  // namespace kartwerk

#include "game/explicit_installation.hpp"

#include <string>
#include <system_error>

#include "game/game_location.hpp"
#include "game/registry_tree.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::game {

std::shared_ptr<const RegistrySource> ExplicitInstallation(const std::filesystem::path& folder,
                                                           const std::string& version) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
  if (ec) absolute = folder;
  auto tree = std::make_shared<RegistryTree>();
  RegistryNode& key = tree->CreateKey(std::string(kGameKeyPath) + "\\command line");
  key.values["target folder"] = platform::TextFromPath(absolute);
  key.values["version"] = version;
  key.values["language"] = std::string();
  // The folder is already a local path.
  return std::make_shared<TreeRegistrySource>(std::move(tree),
                                              [](std::string_view text) { return platform::PathFromText(text); });
}

}  // namespace kartwerk::game

// kartwerk installs | slots | register: the game installations the registry names, the
// editor's slots of the located game, and the shell association of the map types.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/commands.hpp"
#include "app/json_text.hpp"
#include "core/shown_text.hpp"
#include "desktop/association.hpp"
#include "format/map_info.hpp"
#include "game/complete_installation.hpp"
#include "game/game_location.hpp"
#include "game/installation_source.hpp"
#include "game/slot_store.hpp"
#include "game/wine_registry.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::app {
namespace {

// The files an installation lacks for the editor, as a JSON list (empty when it is complete).
nlohmann::json MissingFiles(const game::InstalledVersion& installation) {
  nlohmann::json files = nlohmann::json::array();
  if (const std::string missing = game::MissingEditorFile(installation); !missing.empty()) files.push_back(missing);
  return files;
}

// Opens the named source into installs; on failure prints why and returns false.
bool OpenSource(game::GameInstallations& installs, const game::InstallationSourceOptions& options) {
  try {
    installs.registry = game::OpenInstallationSource(options);
    return true;
  } catch (const game::RegistryUnavailable& e) {
    std::cerr << "kartwerk: " << core::ShownText(e.what()) << "\n";
    return false;
  }
}

constexpr const char* kWinePrefixHelp =
    "Wine prefix holding the game (default: WINEPREFIX, else ~/.wine and the prefixes of Proton, Lutris and Bottles)";

struct InstallsOptions {
  std::string winePrefix;
  bool json = false;
};

int RunInstalls(const InstallsOptions& options) {
  game::InstallationSourceOptions source;
  if (!options.winePrefix.empty()) source.winePrefix = platform::PathFromText(options.winePrefix);
  game::GameInstallations installs;
  if (!OpenSource(installs, source)) return 1;
  game::EnumerateInstallations(installs);

  if (options.json) {
    nlohmann::json out = nlohmann::json::array();
    for (std::size_t i = 0; i < installs.installedVersions.size(); ++i) {
      const game::InstalledVersion& v = installs.installedVersions[i];
      out.push_back({{"number", i + 1},
                     {"folder", platform::TextFromPath(v.hostFolder)},
                     {"target_folder", v.folder},
                     {"version", v.version},
                     {"language", v.language},
                     {"sub_key", v.subKey},
                     {"prefix", platform::TextFromPath(installs.registry[v.registry].winePrefix)},
                     {"origin", installs.registry[v.registry].origin},
                     {"editor", game::MissingEditorFile(v).empty()},
                     {"missing", MissingFiles(v)}});
    }
    std::cout << JsonText(out) << "\n";
    return 0;
  }
  if (installs.installedVersions.empty()) {
    std::cout << "No installation of Vornmark II is registered.\n";
    return 0;
  }
  for (std::size_t i = 0; i < installs.installedVersions.size(); ++i) {
    const game::InstalledVersion& v = installs.installedVersions[i];
    const game::RegistryEntry& source = installs.registry[v.registry];
    std::cout << i + 1 << "  " << core::ShownText(v.language) << (v.language.empty() ? "" : " ")
              << core::ShownText(v.version) << "  " << core::ShownText(platform::TextFromPath(v.hostFolder)) << "  ("
              << core::ShownText(v.folder);
    if (!source.winePrefix.empty())
      std::cout << "; " << core::ShownText(source.origin) << " "
                << core::ShownText(platform::TextFromPath(source.winePrefix));
    std::cout << ")";
    if (const std::string missing = game::MissingEditorFile(v); !missing.empty())
      std::cout << "  " << core::ShownText(missing) << " is missing";
    std::cout << "\n";
  }
  if (installs.installedVersions.size() > game::kMaxInstalledVersions) {
    std::cout << "The windows offer the first " << game::kMaxInstalledVersions
              << "; start Kartwerk with --game DIR to use another.\n";
  }
  return 0;
}

struct SlotsOptions {
  std::string game;
  std::string winePrefix;
  bool json = false;
};

int RunSlots(const SlotsOptions& options) {
  game::InstallationSourceOptions source;
  if (!options.game.empty()) source.game = platform::PathFromText(options.game);
  if (!options.winePrefix.empty()) source.winePrefix = platform::PathFromText(options.winePrefix);
  game::GameInstallations installs;
  if (!OpenSource(installs, source)) return 1;
  game::EnumerateInstallations(installs);
  const std::vector<std::size_t> skipped = game::ChooseFirstCompleteInstallation(installs);
  if (!game::BuildSlotList(installs)) {
    std::cerr << "kartwerk: " << game::GameNotLocatedDetails(installs) << "\n";
    return 1;
  }
  for (const std::string& line : game::SkippedInstallationLines(installs, skipped))
    std::cerr << "kartwerk: " << core::ShownText(line) << "\n";

  if (options.json) {
    nlohmann::json slots = nlohmann::json::array();
    for (int slot = 0; slot < static_cast<int>(game::kSlotCount); ++slot) {
      const std::optional<std::string> title = game::ReadSlotTitle(installs.gameFolder, slot);
      slots.push_back({{"slot", slot},
                       {"folder", platform::TextFromPath(game::SlotFolderPath(installs.gameFolder, slot))},
                       {"occupied", title.has_value()},
                       {"title", title ? nlohmann::json(core::Cp1252ToUtf8(*title)) : nlohmann::json(nullptr)},
                       {"line", core::Cp1252ToUtf8(installs.slotList[static_cast<std::size_t>(slot)])}});
    }
    nlohmann::json out = {
        {"game_folder", platform::TextFromPath(installs.gameFolder)},
        {"game_version_kind", static_cast<int>(installs.gameVersionKind)},  // its number: 0 none, 1 older, 2 current
        {"slots", slots}};
    std::cout << JsonText(out) << "\n";
    return 0;
  }
  // The lines as the slot picker lists them: the editor's titles read in its code page.
  for (std::size_t slot = 0; slot < game::kSlotCount; ++slot)
    std::cout << core::ShownText(core::Cp1252ToUtf8(installs.slotList[slot])) << "\n";
  return 0;
}

}  // namespace

void AddInstallsCommand(CLI::App& app, Runner& run) {
  auto options = std::make_shared<InstallsOptions>();
  CLI::App* cmd = app.add_subcommand(
      "installs",
      "List the registered Vornmark II installations whose folder exists, each with the Wine prefix it was found in");
  cmd->add_option("--wine-prefix", options->winePrefix, kWinePrefixHelp);
  cmd->add_flag("--json", options->json, "Print one JSON array instead of text");
  cmd->footer(
      "Each line: the number, language and version, the folder, then in brackets the folder as the registry\n"
      "names it and the Wine prefix it was found in. Without --wine-prefix or WINEPREFIX, ~/.wine and the\n"
      "prefixes of Steam's Proton, Lutris and Bottles are searched in that order. The other commands use\n"
      "the first installation listed that has its editor (convert --slot: the one whose folder holds\n"
      "the map, if any); an installation without editor\\scridll.dll is listed with what it lacks.\n"
      "\n"
      "Exit status: 0 the installations were listed (none found is no failure), 1 the registry could not be\n"
      "read, 2 wrong usage.\n");
  cmd->callback([&run, options] { run = [options] { return RunInstalls(*options); }; });
}

void AddSlotsCommand(CLI::App& app, Runner& run) {
  auto options = std::make_shared<SlotsOptions>();
  CLI::App* cmd = app.add_subcommand("slots", "List the 255 editor slots of the located game");
  CLI::Option* game = cmd->add_option("--game", options->game, "Game folder to use instead of the registry");
  CLI::Option* prefix = cmd->add_option("--wine-prefix", options->winePrefix, kWinePrefixHelp);
  game->excludes(prefix);
  cmd->add_flag("--json", options->json, "Print one JSON object instead of text");
  cmd->footer(
      "The game is the first installation kartwerk installs lists that has its editor, or the one --game or\n"
      "--wine-prefix names.\n"
      "\n"
      "Exit status: 0 the slots were listed, 1 the game or its slot folders could not be found or read,\n"
      "2 wrong usage.\n");
  cmd->callback([&run, options] { run = [options] { return RunSlots(*options); }; });
}

void AddRegisterCommand(CLI::App& app, Runner& run) {
  CLI::App* cmd = app.add_subcommand("register", "Make the desktop open .qdm, .qdp and .qdc files with Kartwerk");
  cmd->footer(
      "Writes the map types, a desktop entry and the icon for this user under XDG_DATA_HOME (else\n"
      "~/.local/share). The installed package does the same for every user; where its desktop entry is\n"
      "installed, nothing is written for the user. The windows do it at each start.\n"
      "\n"
      "Exit status: 0 written (or already done for every user), 1 it could not be written, 2 wrong usage.\n");
  cmd->callback([&run] {
    run = [] {
      if (const auto entry = desktop::SystemWideAssociation()) {
        std::cerr << "kartwerk: " << core::ShownText(platform::TextFromPath(*entry))
                  << " already opens the map types for every user; nothing written for this user\n";
        return 0;
      }
      return desktop::RegisterMapTypes(std::cerr) ? 0 : 1;
    };
  });
}

}  // namespace kartwerk::app

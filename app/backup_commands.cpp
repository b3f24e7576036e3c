// kartwerk backups [--slot N | --out DIR] [--json]: the backups of replaced folders, where each
// came from and whether Kartwerk may remove it; kartwerk restore BACKUP: puts one back.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>

#include "app/commands.hpp"
#include "core/path_text.hpp"
#include "core/shown_text.hpp"
#include "install/slot_target.hpp"
#include "pipeline/backup_restore.hpp"
#include "pipeline/backup_store.hpp"
#include "pipeline/slot_commit.hpp"

namespace kartwerk::app {
namespace {

struct BackupsOptions {
  int slot = -1;
  std::string out;
  std::string game;
  std::string winePrefix;
  bool json = false;
};

std::uintmax_t FolderBytes(const std::filesystem::path& folder) {
  std::uintmax_t bytes = 0;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec)) bytes += it->file_size(ec);
  }
  return bytes;
}

std::string Quoted(const std::filesystem::path& path) { return "\"" + ShownText(TextFromPath(path)) + "\""; }

int ListBackups(const BackupsOptions& options) {
  std::filesystem::path place;
  if (options.slot >= 0) {
    InstallationSourceOptions source;
    if (!options.game.empty()) source.game = PathFromText(options.game);
    if (!options.winePrefix.empty()) source.winePrefix = PathFromText(options.winePrefix);
    place = TargetPath(LocateSlot(source, options.slot, {}, std::nullopt).SlotFolder);
  } else if (!options.out.empty()) {
    place = TargetPath(PathFromText(options.out));
  }
  const BackupStore store(DefaultBackupFolder());
  nlohmann::json list = nlohmann::json::array();
  for (const BackupRecord& backup : store.List()) {
    if (!place.empty() && backup.origin != place) continue;
    const bool unchanged = BackupStore::LooksUnchanged(backup);  // no file is read: quick with many backups
    // The stamp just confirmed the recorded sizes: the folder need not be walked again.
    const std::uintmax_t bytes = unchanged ? ListingBytes(*backup.written) : FolderBytes(backup.folder);
    if (options.json) {
      list.push_back({{"backup", TextFromPath(backup.folder)},
                      {"origin", backup.origin.empty() ? nullptr : nlohmann::json(TextFromPath(backup.origin))},
                      {"installation", TextFromPath(backup.installation)},
                      {"time", BackupTimeText(backup.when)},
                      {"title", backup.title},
                      {"bytes", bytes},
                      {"unchangedConversion", unchanged}});
      continue;
    }
    std::cout << ShownText(TextFromPath(backup.folder)) << "\n  from "
              << (backup.origin.empty() ? "an unknown place" : Quoted(backup.origin));
    if (!backup.installation.empty()) std::cout << " (installation " << Quoted(backup.installation) << ")";
    std::cout << "\n  " << (backup.when.empty() ? "time unknown" : BackupTimeText(backup.when)) << ", \""
              << ShownText(backup.title) << "\", " << bytes << " bytes, "
              << (unchanged ? "an unchanged conversion (removed once ten newer backups of its place exist)"
                            : "kept until you remove it")
              << "\n";
  }
  if (options.json) std::cout << list.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  return 0;
}

int Restore(const std::string& name) {
  const BackupStore store(DefaultBackupFolder());
  const BackupRecord backup = store.Find(name);
  const RestoreResult result = RestoreBackup(
      store, backup, [](const std::string& note) { std::cerr << "kartwerk: " << ShownText(note) << "\n"; });
  std::cerr << "kartwerk: put " << Quoted(backup.folder) << " back into " << Quoted(result.place) << "\n";
  if (!result.previous.empty())
    std::cerr << "kartwerk: " << ShownText(PreviousContentText(result.place, result.previous)) << "\n";
  return 0;
}

}  // namespace

void AddBackupsCommand(CLI::App& app, Runner& run) {
  auto options = std::make_shared<BackupsOptions>();
  CLI::App* cmd = app.add_subcommand("backups", "List the backups of the folders conversions replaced");
  CLI::Option* slot = cmd->add_option("--slot", options->slot, "Only the backups of this editor slot (0 to 254)")
                          ->check(CLI::Range(0, 254));
  cmd->add_option("--out", options->out, "Only the backups of this folder")->excludes(slot);
  CLI::Option* game =
      cmd->add_option("--game", options->game, "Game folder of the slot instead of the registry")->needs(slot);
  cmd->add_option("--wine-prefix", options->winePrefix, "Wine prefix holding the game of the slot")
      ->needs(slot)
      ->excludes(game);
  cmd->add_flag("--json", options->json, "Print a JSON list");
  cmd->footer(
      "A backup is kept until you remove it, unless it is byte for byte a conversion Kartwerk wrote (it can be\n"
      "made again) and ten newer backups of the same place exist. kartwerk restore BACKUP puts one back.\n");
  cmd->callback([&run, options] { run = [options] { return ListBackups(*options); }; });
}

void AddRestoreCommand(CLI::App& app, Runner& run) {
  auto name = std::make_shared<std::string>();
  CLI::App* cmd = app.add_subcommand("restore", "Put a backup back where it came from");
  cmd->add_option("BACKUP", *name, "The backup's folder as kartwerk backups prints it, or its folder name")->required();
  cmd->footer("What the place holds now is kept in the backups first, so a restore can be undone the same way.\n");
  cmd->callback([&run, name] { run = [name] { return Restore(*name); }; });
}

}  // namespace kartwerk::app

// kartwerk backups [--slot N | --out DIR] [--json]: the backups of replaced folders, newest
// first, one line each; kartwerk restore BACKUP: puts one back.
#include <algorithm>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>
#include <vector>

#include "app/commands.hpp"
#include "app/json_text.hpp"
#include "core/shown_text.hpp"
#include "game/slot_target.hpp"
#include "pipeline/backup_listing.hpp"
#include "pipeline/backup_restore.hpp"
#include "pipeline/backup_store.hpp"
#include "pipeline/slot_commit.hpp"
#include "platform/path_text.hpp"

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

std::string Quoted(const std::filesystem::path& path) {
  return "\"" + core::ShownText(platform::TextFromPath(path)) + "\"";
}

int ListBackups(const BackupsOptions& options) {
  std::filesystem::path place;
  if (options.slot >= 0) {
    game::InstallationSourceOptions source;
    if (!options.game.empty()) source.game = platform::PathFromText(options.game);
    if (!options.winePrefix.empty()) source.winePrefix = platform::PathFromText(options.winePrefix);
    place = pipeline::TargetPath(game::LocateSlot(source, options.slot, {}, std::nullopt).slotFolder);
  } else if (!options.out.empty()) {
    place = pipeline::TargetPath(platform::PathFromText(options.out));
  }
  const pipeline::BackupStore store(pipeline::DefaultBackupFolder());
  std::vector<pipeline::BackupRecord> backups = place.empty() ? store.List() : store.OfPlace(place);
  std::reverse(backups.begin(), backups.end());  // newest first
  nlohmann::json list = nlohmann::json::array();
  std::uintmax_t total = 0;
  for (const pipeline::BackupRecord& backup : backups) {
    const pipeline::BackupState state = pipeline::StateOfBackup(backup);  // no file is read: quick with many backups
    // An unchanged stamp has just confirmed the recorded sizes: the folder need not be walked again.
    const std::uintmax_t bytes = state == pipeline::BackupState::kUnchangedConversion
                                     ? platform::ListingBytes(*backup.written)
                                     : FolderBytes(backup.folder);
    total += bytes;
    if (options.json) {
      list.push_back(
          {{"backup", platform::TextFromPath(backup.folder)},
           {"origin", backup.origin.empty() ? nullptr : nlohmann::json(platform::TextFromPath(backup.origin))},
           {"installation", platform::TextFromPath(backup.installation)},
           {"time", pipeline::BackupTimeText(backup.when)},
           {"title", backup.title},
           {"bytes", bytes},
           {"unchangedConversion", state == pipeline::BackupState::kUnchangedConversion},
           {"state", pipeline::BackupStateText(state)}});
      continue;
    }
    std::cout << pipeline::BackupLine(backup, pipeline::LocalBackupTimeText(backup.when), bytes, state) << "\n";
  }
  if (options.json) {
    std::cout << JsonText(list) << "\n";
  } else {
    std::cout << core::ShownText(pipeline::BackupsSummary(backups.size(), total, place.empty() ? store.Folder() : place,
                                                          !place.empty()))
              << "\n";
  }
  return 0;
}

int Restore(const std::string& name) {
  const pipeline::BackupStore store(pipeline::DefaultBackupFolder());
  pipeline::BackupRecord backup;
  try {
    backup = store.Find(name);
  } catch (const std::runtime_error&) {
    // A folder that is no backup is most likely the place the user wants back.
    std::error_code ec;
    if (std::filesystem::is_directory(platform::PathFromText(name), ec))
      throw std::runtime_error(pipeline::NotABackupText(name));
    throw;
  }
  const pipeline::RestoreResult result = pipeline::RestoreBackup(
      store, backup, [](const std::string& note) { std::cerr << "kartwerk: " << core::ShownText(note) << "\n"; });
  std::cerr << "kartwerk: put " << Quoted(backup.folder) << " back into " << Quoted(result.place) << "\n";
  if (!result.previous.empty())
    std::cerr << "kartwerk: " << core::ShownText(pipeline::PreviousContentText(result.place, result.previous)) << "\n";
  if (result.notRestored.empty()) return 0;
  std::cerr << "kartwerk: " << core::ShownText(pipeline::NotRestoredText(result.notRestored)) << "; the backup "
            << Quoted(backup.folder) << " stays\n";
  return 1;
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
      "One line per backup, newest first: the place it came from, the local time, the map's title, the size,\n"
      "whether it is an unchanged conversion, an edited one or not a Kartwerk map, and in brackets the name\n"
      "kartwerk restore takes. A last line counts them. A place is one folder however its path is spelled.\n"
      "\n"
      "Keeping backups:\n"
      "  Every folder a conversion or a restore replaces is kept whole in the backups, with the full path it\n"
      "  came from. A backup is kept until you remove it, unless it is byte for byte a conversion Kartwerk\n"
      "  wrote (it can be made again) and ten newer backups of the same place exist.\n"
      "\n"
      "Exit status: 0 listed, 1 the slot's game could not be found, 2 wrong usage.\n");
  cmd->callback([&run, options] { run = [options] { return ListBackups(*options); }; });
}

void AddRestoreCommand(CLI::App& app, Runner& run) {
  auto name = std::make_shared<std::string>();
  CLI::App* cmd = app.add_subcommand("restore", "Put a backup back where it came from");
  cmd->add_option("BACKUP", *name, "The backup's folder as kartwerk backups prints it, or its folder name")->required();
  cmd->footer(
      "What the place holds now is kept in the backups first, so a restore can be undone the same way. Files,\n"
      "folders and links come back with their permissions and times; what cannot (a FIFO, a link the system\n"
      "refuses) is named, and the backup then stays.\n"
      "\n"
      "Exit status: 0 put back whole, 1 not put back or not whole (the message says what), 2 wrong usage.\n");
  cmd->callback([&run, name] { run = [name] { return Restore(*name); }; });
}

}  // namespace kartwerk::app

#include "ui/logic/notice_texts.hpp"

#include "game/game_location.hpp"

namespace kartwerk::logic {

namespace {

// The advice closing the notice: the ways to name the game that work where it was looked for.
std::string NamingAdvice(const GameSearch& search) {
  if (search.place == GameSearch::Place::SystemRegistry) {
    return "\nStart Kartwerk with --game DIR (the game's folder), or reinstall the game with its editor.";
  }
  return "\nStart Kartwerk with --wine-prefix DIR (the game's Wine prefix) or --game DIR (the game's folder).";
}

// The installation the editor was looked for in: the chosen one, else the first found.
const game::InstalledVersion* LookedAtInstallation(const game::GameInstallations& installs) {
  const std::size_t chosen = installs.chosenVersion;
  if (chosen > 0 && chosen <= installs.installedVersions.size()) return &installs.installedVersions[chosen - 1];
  return installs.installedVersions.empty() ? nullptr : &installs.installedVersions.front();
}

}  // namespace

std::string GameNotLocatedText(const GameSearch& search, const game::GameInstallations& installs) {
  // The system's registry names the installation that was looked in; elsewhere where the search
  // went is the better clue.
  const game::InstalledVersion* found =
      search.place == GameSearch::Place::SystemRegistry ? LookedAtInstallation(installs) : nullptr;
  if (found == nullptr) return GameNotLocatedText(search);
  const std::string folder = PathUtf8(found->hostFolder);
  const char separator = folder.find('\\') != std::string::npos || folder.find('/') == std::string::npos ? '\\' : '/';
  return "Vornmark II\u2122 is installed in " + folder + ", but its editor is missing there:\n" + folder +
         (folder.empty() || folder.back() == separator ? "" : std::string(1, separator)) + "editor" + separator +
         "scridll.dll was not found." + NamingAdvice(search);
}

std::string GameNotLocatedText(const GameSearch& search) {
  std::string text(game::kGameNotLocatedMessage);
  switch (search.place) {
    case GameSearch::Place::WinePrefix:
      text += "\n\nLooked in the Wine prefix's registry " + PathUtf8(search.path) + ".";
      break;
    case GameSearch::Place::GameFolder:
      text += "\n\nLooked in the folder " + PathUtf8(search.path) + " (no editor\\scridll.dll there).";
      break;
    case GameSearch::Place::SystemRegistry: text += "\n\nLooked in the system registry."; break;
  }
  return text + NamingAdvice(search);
}

std::string NoEditorInInstallationText(const game::GameInstallations& installs) {
  const std::size_t chosen = installs.chosenVersion;
  std::string name = "The chosen installation";
  std::string folder;
  if (chosen > 0 && chosen <= installs.installedVersions.size()) {
    const game::InstalledVersion& entry = installs.installedVersions[chosen - 1];
    name = entry.language + " " + entry.version;
    const auto first = name.find_first_not_of(" \t\r\n");
    name =
        first == std::string::npos ? std::string() : name.substr(first, name.find_last_not_of(" \t\r\n") - first + 1);
    folder = " in " + PathUtf8(entry.hostFolder);
  }
  return name + folder +
         " has no Vornmark II\u2122 editor (editor\\scridll.dll is missing). Please choose another version.";
}

std::string EditorStartFailureText(const EditorLaunch& launch, const std::string& reason, bool throughWine) {
  return "Could not start the Vornmark II\u2122 Editor: " + reason + "\nProgram: " + (throughWine ? "wine " : "") +
         PathUtf8(launch.program) + "\nFolder: " + PathUtf8(launch.workingFolder);
}

std::string MapWarningsText(const std::vector<std::string>& shown, std::size_t total) {
  if (total == 0) return {};
  std::string text = "Warnings while converting the map:\n";
  // Names in a warning come from the map or its files: shown as a path would be.
  for (const std::string& warning : shown) text += FileNameUtf8(warning) + "\n";
  if (total > shown.size()) {
    const std::size_t more = total - shown.size();
    text += "and " + std::to_string(more) + (more == 1 ? " more warning.\n" : " more warnings.\n");
  }
  return text;
}

std::string BackupCommandsText(const std::filesystem::path& program, bool windows) {
  const std::string command = windows && !program.empty() ? "\"" + PathUtf8(program) + "\"" : "kartwerk";
  const std::string quote = windows ? "" : "\"";
  return quote + command + " backups" + quote + " lists it, " + quote + command + " restore" + quote + " puts it back.";
}

}  // namespace kartwerk::logic

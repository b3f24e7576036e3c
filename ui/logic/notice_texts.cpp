#include "ui/logic/notice_texts.hpp"

#include "install/game_location.hpp"

namespace kartwerk {

std::string GameNotLocatedText(const GameSearch& search) {
  std::string text(kGameNotLocatedMessage);
  switch (search.place) {
    case GameSearch::Place::WinePrefix:
      text += "\n\nLooked in the Wine prefix's registry " + PathUtf8(search.path) + ".";
      break;
    case GameSearch::Place::GameFolder:
      text += "\n\nLooked in the folder " + PathUtf8(search.path) + " (no editor\\scridll.dll there).";
      break;
    case GameSearch::Place::SystemRegistry: text += "\n\nLooked in the system registry."; break;
  }
  return text + "\nStart Kartwerk with --wine-prefix DIR (the game's Wine prefix) or --game DIR (the game's folder).";
}

std::string NoEditorInInstallationText(const GameInstallations& installs) {
  const std::size_t chosen = installs.ChosenVersion;
  std::string name = "The chosen installation";
  std::string folder;
  if (chosen > 0 && chosen <= installs.InstalledVersions.size()) {
    const InstalledVersion& entry = installs.InstalledVersions[chosen - 1];
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

}  // namespace kartwerk

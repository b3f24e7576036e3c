#include "ui/notice_texts.hpp"

#include "install/game_location.hpp"
#include "ui/display_text.hpp"

namespace kartwerk {

QString GameNotLocatedNotice(const GameSearch& search) {
  QString text = QString::fromUtf8(GameNotLocatedMessage.data(), static_cast<qsizetype>(GameNotLocatedMessage.size()));
  switch (search.place) {
    case GameSearch::Place::WinePrefix:
      text += QStringLiteral("\n\nLooked in the Wine prefix's registry %1.").arg(PathText(search.path));
      break;
    case GameSearch::Place::GameFolder:
      text += QStringLiteral("\n\nLooked in the folder %1 (no editor\\scridll.dll there).").arg(PathText(search.path));
      break;
    case GameSearch::Place::SystemRegistry:
      text += QStringLiteral("\n\nLooked in the system registry.");
      break;
  }
  return text + QStringLiteral("\nStart Kartwerk with --wine-prefix DIR (the game's Wine prefix) or --game DIR "
                               "(the game's folder).");
}

QString NoEditorInInstallation(const GameInstallations& installs) {
  const std::size_t chosen = installs.ChosenVersion;
  QString name = QStringLiteral("The chosen installation");
  QString folder;
  if (chosen > 0 && chosen <= installs.InstalledVersions.size()) {
    const InstalledVersion& entry = installs.InstalledVersions[chosen - 1];
    name = QString::fromStdString(entry.language + " " + entry.version).trimmed();
    folder = QStringLiteral(" in %1").arg(PathText(entry.hostFolder));
  }
  return QStringLiteral("%1%2 has no Vornmark II\u2122 editor (editor\\scridll.dll is missing). Please choose another "
                        "version.")
      .arg(name, folder);
}

QString EditorStartFailure(const EditorLaunch& launch) {
  const EditorCommand command = EditorCommandFor(launch);
  return QStringLiteral("Could not start the Vornmark II\u2122 Editor: tried \"%1 %2\" in %3. Wine must be installed "
                        "to run the editor.")
      .arg(command.program, command.arguments.join(QLatin1Char(' ')), command.workingFolder);
}

}  // namespace kartwerk

#include "ui/notice_texts.hpp"

#include "ui/logic/notice_texts.hpp"

namespace kartwerk {

QString GameNotLocatedNotice(const GameSearch& search) { return QString::fromStdString(GameNotLocatedText(search)); }

QString NoEditorInInstallation(const GameInstallations& installs) {
  return QString::fromStdString(NoEditorInInstallationText(installs));
}

QString EditorStartFailure(const EditorLaunch& launch) {
  const EditorCommand command = EditorCommandFor(launch);
  return QStringLiteral(
             "Could not start the Vornmark II\u2122 Editor: tried \"%1 %2\" in %3. Wine must be installed "
             "to run the editor.")
      .arg(command.program, command.arguments.join(QLatin1Char(' ')), command.workingFolder);
}

}  // namespace kartwerk

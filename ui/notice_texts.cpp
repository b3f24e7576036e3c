#include "ui/notice_texts.hpp"

#include "ui/logic/notice_texts.hpp"

namespace kartwerk {

QString GameNotLocatedNotice(const GameSearch& search) { return QString::fromStdString(GameNotLocatedText(search)); }

QString NoEditorInInstallation(const GameInstallations& installs) {
  return QString::fromStdString(NoEditorInInstallationText(installs));
}

QString EditorStartFailure(const EditorLaunch& launch, const std::string& reason) {
  const EditorCommand command = EditorCommandFor(launch);
  const QString program = command.program + QLatin1Char(' ') + command.arguments.join(QLatin1Char(' '));
  return QString::fromStdString(
      EditorStartFailureText(reason, program.toStdString(), command.workingFolder.toStdString()));
}

}  // namespace kartwerk

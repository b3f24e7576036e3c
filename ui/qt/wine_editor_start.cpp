#include "ui/qt/wine_editor_start.hpp"

#include <QProcess>
#include <QProcessEnvironment>

namespace kartwerk::qt {
namespace {

QString PathText(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

}  // namespace

WineEditorCommand WineEditorCommandFor(const EditorLaunch& launch) {
  WineEditorCommand command;
  command.program = QStringLiteral("wine");
  command.arguments << PathText(launch.program);
  command.workingFolder = PathText(launch.workingFolder);
  if (!launch.winePrefix.empty()) command.environment << QStringLiteral("WINEPREFIX=") + PathText(launch.winePrefix);
  return command;
}

bool StartEditorThroughWine(const EditorLaunch& launch) {
  const WineEditorCommand command = WineEditorCommandFor(launch);
  QProcess process;
  process.setProgram(command.program);
  process.setArguments(command.arguments);
  process.setWorkingDirectory(command.workingFolder);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const QString& entry : command.environment) {
    const qsizetype eq = entry.indexOf(QLatin1Char('='));
    environment.insert(entry.left(eq), entry.mid(eq + 1));
  }
  process.setProcessEnvironment(environment);
  return process.startDetached();
}

}  // namespace kartwerk::qt

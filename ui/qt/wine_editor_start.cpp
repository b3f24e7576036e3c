#include "ui/qt/wine_editor_start.hpp"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <system_error>

#include "core/error_text.hpp"

namespace kartwerk::qt {
namespace {

QString PathText(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

}  // namespace

WineEditorCommand WineEditorCommandFor(const logic::EditorLaunch& launch) {
  WineEditorCommand command;
  command.program = QStringLiteral("wine");
  command.arguments << PathText(launch.program);
  command.workingFolder = PathText(launch.workingFolder);
  if (!launch.winePrefix.empty()) command.environment << QStringLiteral("WINEPREFIX=") + PathText(launch.winePrefix);
  return command;
}

std::optional<std::string> StartEditorThroughWine(const logic::EditorLaunch& launch) {
  // Wine starts and ends at once for an editor that is not there: that is found out here.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(launch.program, ec)) {
    return core::ErrorText(ec ? ec : std::make_error_code(std::errc::no_such_file_or_directory));
  }
  const WineEditorCommand command = WineEditorCommandFor(launch);
  if (QStandardPaths::findExecutable(command.program).isEmpty()) {
    return "Wine is not installed (no \"" + command.program.toStdString() + "\" on the PATH); it runs the editor";
  }
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
  if (process.startDetached()) return std::nullopt;
  const QString why = process.errorString();
  return why.isEmpty() ? std::string("the system did not start it") : why.toStdString();
}

}  // namespace kartwerk::qt

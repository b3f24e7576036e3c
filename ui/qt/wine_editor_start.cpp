#include "ui/editor_launch.hpp"

#include <QProcess>
#include <QProcessEnvironment>

#ifdef _WIN32
#include "install/shell_open.hpp"
#endif

namespace kartwerk {
namespace {

QString PathText(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

}  // namespace

EditorCommand EditorCommandFor(const EditorLaunch& launch) {
  EditorCommand command;
  command.program = QStringLiteral("wine");
  command.arguments << PathText(launch.program);
  command.workingFolder = PathText(launch.workingFolder);
  if (!launch.winePrefix.empty()) command.environment << QStringLiteral("WINEPREFIX=") + PathText(launch.winePrefix);
  return command;
}

bool StartEditor(const EditorLaunch& launch) {
#ifdef _WIN32
  return OpenWithShell(launch.program, launch.workingFolder);
#else
  const EditorCommand command = EditorCommandFor(launch);
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
#endif
}

}  // namespace kartwerk

#include "ui/gui_application.hpp"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "convert/records/cliff_data.hpp"
#include "ui/gui_windows.hpp"

namespace kartwerk {

bool PlatformHasWindowOpacity(const QString& platformName) {
  static const QStringList kWithOpacity = {QStringLiteral("xcb"), QStringLiteral("windows"), QStringLiteral("cocoa")};
  return kWithOpacity.contains(platformName, Qt::CaseInsensitive);
}

int RunWindows(int& argc, char** argv, GuiSession& session) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kartwerk"));
  QApplication::setApplicationDisplayName(QStringLiteral("Kartwerk"));
  // Every path through the windows ends the program itself, once its work is done.
  QApplication::setQuitOnLastWindowClosed(false);

  session.DesktopHasWindowOpacity = PlatformHasWindowOpacity(QGuiApplication::platformName());
  session.Platform = QueryPlatformVersion();
  if (session.CliffDataFile.empty()) session.CliffDataFile = DefaultCliffDataPath();
  if (!session.hooks.EndProgram) session.hooks.EndProgram = [] { QCoreApplication::exit(0); };
  if (!session.hooks.ReportError) {
    session.hooks.ReportError = [](const QString& message) {
      QMessageBox::critical(nullptr, QStringLiteral("Kartwerk"), message);
    };
  }
  if (!session.hooks.LaunchEditor) session.hooks.LaunchEditor = [](const EditorLaunch& launch) { StartEditor(launch); };

  GuiWindows windows(session);
  // Started from inside the main loop, so that ending the program at any step leaves it.
  QTimer::singleShot(0, &windows.Form7(), [&windows] { windows.Form7().FormShow(); });
  return QApplication::exec();
}

}  // namespace kartwerk

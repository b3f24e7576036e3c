#include "ui/qt/qt_application.hpp"

#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>

#include "convert/records/cliff_data.hpp"
#include "ui/logic/window_session.hpp"
#include "ui/qt/window_set.hpp"
#include "ui/qt/window_system.hpp"

namespace kartwerk::qt {

void ShowErrorBox(const QString& message, QWidget* owner) {
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(logic::kErrorBoxTitle), message, QMessageBox::Ok, owner);
  box.setObjectName(QStringLiteral("ErrorBox"));
  if (owner != nullptr) {
    box.setWindowModality(Qt::WindowModal);
    if (owner->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) box.setWindowFlag(Qt::WindowStaysOnTopHint);
  }
  box.exec();
}

namespace {

// A termination request (the desktop session ending, kill, Ctrl+C in the terminal) closes the
// windows as their own close control does: a conversion stops at its next step and the temporary
// files go. The signal handler only writes to a socket; the main loop reads it.
int terminationPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(terminationPipe[1], &byte, 1);
}

void CloseOnTermination(QObject* parent, const std::function<void()>& close) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, terminationPipe) != 0) return;
  auto* notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, parent);
  QObject::connect(notifier, &QSocketNotifier::activated, parent, [close] {
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(terminationPipe[0], &byte, 1);
    close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace

bool PlatformHasWindowOpacity(const QString& platformName) {
  static const QStringList kWithOpacity = {QStringLiteral("xcb"), QStringLiteral("windows"), QStringLiteral("cocoa")};
  return kWithOpacity.contains(platformName, Qt::CaseInsensitive);
}

int RunWindows(int& argc, char** argv, QtSession& session) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kartwerk"));
  QApplication::setApplicationDisplayName(QStringLiteral("Kartwerk"));
  // Every path through the windows ends the program itself, once its work is done.
  QApplication::setQuitOnLastWindowClosed(false);

  session.desktopHasWindowOpacity = DesktopShowsWindowOpacity();
  // The Qt windows run off Windows (Windows has its own face): no Windows version to classify,
  // so whether they fade follows the desktop's opacity alone.
  if (session.cliffDataFile.empty()) session.cliffDataFile = records::DefaultCliffDataPath();
  if (!session.hooks.endProgram) session.hooks.endProgram = [](int status) { QCoreApplication::exit(status); };
  if (!session.hooks.reportError) session.hooks.reportError = ShowErrorBox;
  if (!session.hooks.launchEditor) session.hooks.launchEditor = StartEditorThroughWine;

  WindowSet windows(session);
  CloseOnTermination(&application, [&windows, &session] {
    QWidget* active = QApplication::activeModalWidget();
    if (active != nullptr && active->objectName() == QStringLiteral("ErrorBox")) active->close();
    // Nothing on show to close (the start sequence between two windows): end at once.
    if (!windows.CloseShownWindow()) session.EndProgram();
  });
  // Started from inside the main loop, so that ending the program at any step leaves it.
  QTimer::singleShot(0, &windows.Browser(), [&windows] { windows.Browser().Logic().Start(); });
  return QApplication::exec();
}

}  // namespace kartwerk::qt

#include "ui/qt/window_base.hpp"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <utility>

#include "ui/qt/window_look.hpp"
#include "ui/qt/window_system.hpp"

namespace kartwerk::qt {

WindowBase::WindowBase(QtSession& session, const char* name, int clientWidth, int clientHeight, QColor background,
                       bool alwaysOnTop, QWidget* owner)
    : QWidget(owner, Qt::Window), session_(session), timer_(new QTimer(this)) {
  setObjectName(QString::fromLatin1(name));
  Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
  if (alwaysOnTop) flags |= Qt::WindowStaysOnTopHint;
  setWindowFlags(flags);
  setFixedSize(clientWidth, clientHeight);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, background);
  setPalette(palette);
  setAutoFillBackground(true);

  timer_->setObjectName(QStringLiteral("fadeTimer"));
  timer_->setInterval(session.fadeIntervalMs);
  connect(timer_, &QTimer::timeout, this, [this] { fade_.Tick(); });
  ShowOpacity(fade_.AlphaBlend(), fade_.Opacity());

  // Keyboard: Escape does what the window's "X" (or "EXIT") does, Enter what its main action does.
  setFocusPolicy(Qt::StrongFocus);
  auto key = [this](QList<QKeySequence> keys, void (WindowBase::*action)()) {
    auto* shortcut = new QShortcut(this);
    shortcut->setKeys(keys);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, action);
  };
  key({QKeySequence(Qt::Key_Escape)}, &WindowBase::CloseRequested);
  // The main keyboard's Enter, and the keypad's.
  key({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::KeypadModifier | Qt::Key_Enter)},
      &WindowBase::EnterPressed);
}

void WindowBase::ShowOpacity(bool alphaBlend, int opacity) {
  // A desktop that cannot show a window half transparent draws it opaque: nothing to set there.
  if (!session_.desktopHasWindowOpacity) return;
  // Without alpha blending the window is drawn opaque whatever its opacity value says.
  setWindowOpacity(alphaBlend ? opacity / 255.0 : 1.0);
  // Each step goes to the compositor now, not whenever some other event flushes the display.
  FlushWindowSystem();
}

void WindowBase::StartTimer() { timer_->start(); }
void WindowBase::StopTimer() { timer_->stop(); }

void WindowBase::ReportError(const std::string& message) {
  session_.ReportError(QString::fromStdString(message), this);
}

void WindowBase::ShowCentred(bool modal) {
  setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (screen) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  show();
  // Only desktops that stack windows can raise one (others say so, once per window).
  if (DesktopStacksWindows()) raise();
  activateWindow();
}

void WindowBase::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  painter.setPen(FrameGrey());
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void WindowBase::closeEvent(QCloseEvent* event) {
  // The program's own closing hides its windows; only a request from outside arrives here.
  event->ignore();
  CloseRequested();
}

}  // namespace kartwerk::qt

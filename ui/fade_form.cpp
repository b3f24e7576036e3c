#include "ui/fade_form.hpp"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "ui/window_style.hpp"
#include "ui/window_system.hpp"

namespace kartwerk {

TFadeForm::TFadeForm(GuiSession& session, const char* name, int clientWidth, int clientHeight, QColor background,
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

  timer_->setObjectName(QStringLiteral("Timer1"));
  timer_->setInterval(session.FadeIntervalMs);
  connect(timer_, &QTimer::timeout, this, &TFadeForm::Tick);
  ApplyOpacity();

  // Keyboard: Escape does what the window's "X" (or "EXIT") does, Enter what its main action does.
  setFocusPolicy(Qt::StrongFocus);
  auto key = [this](QList<QKeySequence> keys, void (TFadeForm::*action)()) {
    auto* shortcut = new QShortcut(this);
    shortcut->setKeys(keys);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, action);
  };
  key({QKeySequence(Qt::Key_Escape)}, &TFadeForm::CloseRequested);
  // The main keyboard's Enter, and the keypad's.
  key({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::KeypadModifier | Qt::Key_Enter)},
      &TFadeForm::EnterPressed);
}

void TFadeForm::SetAlphaBlend(bool on) {
  alphaBlend_ = on;
  ApplyOpacity();
}

void TFadeForm::SetAlphaBlendValue(int value) {
  value = std::clamp(value, 0, 255);
  if (value == alphaBlendValue_) return;
  alphaBlendValue_ = value;
  ApplyOpacity();
  emit AlphaBlendValueChanged(value);
}

void TFadeForm::CopyFadeFrom(const TFadeForm& opener, bool withOpacity) {
  SetAlphaBlend(opener.AlphaBlend());
  if (withOpacity) SetAlphaBlendValue(opener.AlphaBlendValue());
}

void TFadeForm::ApplyOpacity() {
  // A desktop that cannot show a window half transparent draws it opaque: nothing to set there.
  if (!session_.DesktopHasWindowOpacity) return;
  // Without alpha blending the window is drawn opaque whatever its opacity value says.
  setWindowOpacity(alphaBlend_ ? alphaBlendValue_ / 255.0 : 1.0);
  // Each step goes to the compositor now, not whenever some other event flushes the display.
  FlushWindowSystem();
}

void TFadeForm::StartFadeIn() {
  fade_ = Fade::In;
  timer_->start();
}

void TFadeForm::StartFadeOut(std::function<void()> pending) {
  fade_ = Fade::Out;
  pending_ = std::move(pending);
  timer_->start();
}

void TFadeForm::Tick() {
  if (fade_ == Fade::In) {
    Timer1Timer();
  } else if (fade_ == Fade::Out) {
    FadeOutTimer();
  } else {
    timer_->stop();
  }
}

void TFadeForm::Timer1Timer() {
  const FadeStep step = FadeInStep(alphaBlendValue_);
  SetAlphaBlendValue(step.opacity);
  if (step.done) {
    timer_->stop();
    fade_ = Fade::None;
  }
}

void TFadeForm::FadeOutTimer() {
  const FadeStep step = FadeOutStep(alphaBlendValue_);
  SetAlphaBlendValue(step.opacity);
  if (!step.done) return;
  timer_->stop();
  fade_ = Fade::None;
  // Taken out first: the action may start another fade of this window.
  std::function<void()> pending = std::exchange(pending_, nullptr);
  if (pending) pending();
}

void TFadeForm::ShowCentred(bool modal) {
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

void TFadeForm::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  painter.setPen(FrameGrey());
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TFadeForm::closeEvent(QCloseEvent* event) {
  // The program's own closing hides its windows; only a request from outside arrives here.
  event->ignore();
  CloseRequested();
}

}  // namespace kartwerk

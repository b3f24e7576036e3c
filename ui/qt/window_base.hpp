// WindowBase: what every window of the program is made of. A borderless window of a fixed client
// size, centred on the screen and framed by a one-pixel grey line, with a 20 ms timer (the fade timer)
// that fades it in from its opacity to 200 and out to 0, after which the action its closing
// leads to runs. With alpha blending off the window is drawn opaque and the steps show nothing.
#pragma once

#include <QColor>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>

#include "ui/logic/window_face.hpp"
#include "ui/qt/qt_session.hpp"

class QTimer;

namespace kartwerk::qt {

class WindowBase : public QWidget, public logic::WindowFace {
  Q_OBJECT

 public:
  using Fade = logic::WindowFade::Fade;

  WindowBase(QtSession& session, const char* name, int clientWidth, int clientHeight, QColor background,
             bool alwaysOnTop, QWidget* owner = nullptr);

  // The alpha-blending switch (on at creation) and the opacity from 0 to 255 (0 at creation).
  bool AlphaBlend() const { return fade_.AlphaBlend(); }
  int AlphaBlendValue() const { return fade_.Opacity(); }
  void SetAlphaBlend(bool on) { fade_.SetAlphaBlend(on); }
  void SetAlphaBlendValue(int value) { fade_.SetOpacity(value); }
  // Takes over an opener's switch, and its opacity too when given.
  void CopyFadeFrom(const WindowBase& opener, bool withOpacity) { fade_.CopyFrom(opener.fade_, withOpacity); }

  QTimer* FadeTimer() const { return timer_; }
  Fade CurrentFade() const { return fade_.Current(); }

  // Closes the window as its "X" or "EXIT" does.
  void RequestClose() { CloseRequested(); }

  // The window face every window's logic drives.
  logic::WindowFade& Fading() override { return fade_; }
  const logic::WindowFade& Fading() const { return fade_; }
  void ShowOpacity(bool alphaBlend, int opacity) override;
  void OpacityChanged(int opacity) override { emit AlphaBlendValueChanged(opacity); }
  void StartTimer() override;
  void StopTimer() override;
  // Moves the window to the middle of its screen and shows it; modal windows block the others.
  void ShowCentred(bool modal) override;
  void Hide() override { hide(); }
  bool IsShown() const override { return isVisible(); }
  void ReportError(const std::string& message) override;

 signals:
  void AlphaBlendValueChanged(int value);

 protected:
  QtSession& session() const { return session_; }

  void StartFadeIn() { fade_.StartIn(); }
  // Switches the fade timer to the fade-out step; pending runs once the opacity has reached 0.
  void StartFadeOut(std::function<void()> pending) { fade_.StartOut(std::move(pending)); }

  // A close request from the window manager (there is no title bar, but keyboard shortcuts can
  // still ask) or the Escape key: windows answer it as they answer their own "X" or "EXIT".
  virtual void CloseRequested() {}
  // The Enter key: what a double-click on the selected row, or the window's button, does.
  virtual void EnterPressed() {}

  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QtSession& session_;
  QTimer* timer_;
  logic::WindowFade fade_{*this};
};

}  // namespace kartwerk::qt

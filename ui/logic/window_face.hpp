// What every window's face does for its logic, whatever the toolkit: the fade, showing and
// hiding, and the error report above the window. Texts are UTF-8.
#pragma once

#include <string>

#include "ui/logic/window_fade.hpp"
#include "ui/logic/window_session.hpp"

namespace kartwerk::logic {

// The keys a window answers: Enter does its main action, Escape what its "X" or "EXIT" does
// (a close request from the desktop counts as Escape).
enum class KeyAction { Enter, Escape };

class WindowFace : public FadeFace {
 public:
  // The window's fade, whose steps this face shows.
  virtual WindowFade& Fading() = 0;
  // Moves the window to the middle of its screen and shows it; modal windows block the others.
  virtual void ShowCentred(bool modal) = 0;
  virtual void Hide() = 0;
  virtual bool IsShown() const = 0;
  // The general error report, shown above this window.
  virtual void ReportError(const std::string& message) = 0;
};

// What every window's logic has: the session, its face, and the keys it answers.
class WindowLogic {
 public:
  virtual ~WindowLogic() = default;
  virtual void Key(KeyAction key) = 0;
  // The window's fade, for the windows it opens.
  WindowFade& Fading() const { return window_.Fading(); }
  // The general error report, above this window.
  void ReportError(const std::string& message) const { window_.ReportError(message); }

 protected:
  WindowLogic(WindowSession& session, WindowFace& window) : session_(session), window_(window) {}
  WindowFade& fade() const { return window_.Fading(); }

  WindowSession& session_;
  WindowFace& window_;
};

}  // namespace kartwerk::logic

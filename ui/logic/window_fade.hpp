// One window's fade: the alpha-blending switch, the opacity and the 20 ms timer that steps it,
// in and out. The face shows the opacity and runs the timer; the pending action of a fade-out
// (close the window, end the program, open the next window) runs once the opacity is 0.
#pragma once

#include <functional>

namespace kartwerk::logic {

// What a window's face does for its fade.
class FadeFace {
 public:
  virtual ~FadeFace() = default;
  // Shows the opacity (0 to 255); with alpha blending off the window is drawn opaque.
  virtual void ShowOpacity(bool alphaBlend, int opacity) = 0;
  // The opacity value has changed (for those watching the steps).
  virtual void OpacityChanged(int opacity) = 0;
  // Starts and stops the 20 ms timer whose ticks come back as WindowFade::Tick.
  virtual void StartTimer() = 0;
  virtual void StopTimer() = 0;
};

class WindowFade {
 public:
  enum class Fade { None, In, Out };

  explicit WindowFade(FadeFace& face) : face_(face) {}

  // The alpha-blending switch (on at creation) and the opacity from 0 to 255 (0 at creation).
  bool AlphaBlend() const { return alphaBlend_; }
  int Opacity() const { return opacity_; }
  void SetAlphaBlend(bool on);
  void SetOpacity(int value);
  // Takes over an opener's switch, and its opacity too when given.
  void CopyFrom(const WindowFade& opener, bool withOpacity);

  Fade Current() const { return fade_; }
  void StartIn();
  // Switches the timer to the fade-out step; pending runs once the opacity has reached 0.
  void StartOut(std::function<void()> pending);
  // A timer tick: the step of the fade under way.
  void Tick();
  // The fade-in step: at 200 the timer stops, otherwise 10 more.
  void InStep();
  // The fade-out step: above 0, 10 less; at 0 the timer stops and the pending action runs.
  void OutStep();

 private:
  FadeFace& face_;
  Fade fade_ = Fade::None;
  std::function<void()> pending_;
  bool alphaBlend_ = true;
  int opacity_ = 0;
};

}  // namespace kartwerk::logic

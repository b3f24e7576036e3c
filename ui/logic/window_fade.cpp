#include "ui/logic/window_fade.hpp"

#include <algorithm>
#include <utility>

#include "ui/logic/fade_steps.hpp"

namespace kartwerk::logic {

void WindowFade::SetAlphaBlend(bool on) {
  alphaBlend_ = on;
  face_.ShowOpacity(alphaBlend_, opacity_);
}

void WindowFade::SetOpacity(int value) {
  value = std::clamp(value, 0, 255);
  if (value == opacity_) return;
  opacity_ = value;
  face_.ShowOpacity(alphaBlend_, opacity_);
  face_.OpacityChanged(opacity_);
}

void WindowFade::CopyFrom(const WindowFade& opener, bool withOpacity) {
  SetAlphaBlend(opener.AlphaBlend());
  if (withOpacity) SetOpacity(opener.Opacity());
}

void WindowFade::StartIn() {
  fade_ = Fade::In;
  face_.StartTimer();
}

void WindowFade::StartOut(std::function<void()> pending) {
  fade_ = Fade::Out;
  pending_ = std::move(pending);
  face_.StartTimer();
}

void WindowFade::Tick() {
  if (fade_ == Fade::In) {
    InStep();
  } else if (fade_ == Fade::Out) {
    OutStep();
  } else {
    face_.StopTimer();
  }
}

void WindowFade::InStep() {
  const FadeStep step = FadeInStep(opacity_);
  SetOpacity(step.opacity);
  if (step.done) {
    face_.StopTimer();
    fade_ = Fade::None;
  }
}

void WindowFade::OutStep() {
  const FadeStep step = FadeOutStep(opacity_);
  SetOpacity(step.opacity);
  if (!step.done) return;
  face_.StopTimer();
  fade_ = Fade::None;
  // Taken out first: the action may start another fade of this window.
  std::function<void()> pending = std::exchange(pending_, nullptr);
  if (pending) pending();
}

}  // namespace kartwerk::logic

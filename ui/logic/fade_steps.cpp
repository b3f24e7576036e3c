#include "ui/logic/fade_steps.hpp"

namespace kartwerk::logic {

FadeStep FadeInStep(int opacity) {
  if (opacity == kFadeShownOpacity) return {opacity, true};
  // A window handed an opacity off the 10-grid (or above 200) still ends at 200, never at 255.
  if (opacity > kFadeShownOpacity - kFadeStepSize) return {kFadeShownOpacity, false};
  return {opacity + kFadeStepSize, false};
}

FadeStep FadeOutStep(int opacity) {
  if (opacity == 0) return {0, true};
  return {opacity > kFadeStepSize ? opacity - kFadeStepSize : 0, false};
}

int ClassifyPlatform(const PlatformVersion& v) {
  if (!v.queried) return -1;
  if (v.platformId == 1) {
    if (v.major == 4 && v.minor == 0) return 0;
    if (v.major == 4 && v.minor == 10) return v.servicePack.size() >= 2 && v.servicePack[1] == 'A' ? 2 : 1;
    if (v.major == 4 && v.minor == 90) return 3;
    return -1;
  }
  if (v.platformId == 2) {
    if (v.major <= 4) return 4;
    if (v.major == 5 && v.minor == 0) return 5;
    if (v.major == 5 && v.minor == 1) return 6;
    return -1;
  }
  return -1;
}

bool WindowsFade(int code, bool desktopHasWindowOpacity) {
  if (code >= 5) return true;
  if (code >= 0) return false;
  return desktopHasWindowOpacity;
}

}  // namespace kartwerk::logic

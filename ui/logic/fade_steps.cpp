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

PlatformClass ClassifyPlatform(const PlatformVersion& v) {
  if (!v.queried) return PlatformClass::Unknown;
  if (v.platformId == 1) {
    if (v.major == 4 && v.minor == 0) return PlatformClass::Windows95;
    if (v.major == 4 && v.minor == 10) {
      return v.servicePack.size() >= 2 && v.servicePack[1] == 'A' ? PlatformClass::Windows98SecondEdition
                                                                  : PlatformClass::Windows98;
    }
    if (v.major == 4 && v.minor == 90) return PlatformClass::WindowsMe;
    return PlatformClass::Unknown;
  }
  if (v.platformId == 2) {
    if (v.major <= 4) return PlatformClass::WindowsNt4;
    if (v.major == 5 && v.minor == 0) return PlatformClass::Windows2000;
    if (v.major == 5 && v.minor == 1) return PlatformClass::WindowsXp;
    return PlatformClass::Unknown;
  }
  return PlatformClass::Unknown;
}

bool WindowsFade(PlatformClass platform, bool desktopHasWindowOpacity) {
  switch (platform) {
    case PlatformClass::Windows2000:
    case PlatformClass::WindowsXp: return true;
    case PlatformClass::Windows95:
    case PlatformClass::Windows98:
    case PlatformClass::Windows98SecondEdition:
    case PlatformClass::WindowsMe:
    case PlatformClass::WindowsNt4: return false;
    case PlatformClass::Unknown: break;
  }
  return desktopHasWindowOpacity;
}

}  // namespace kartwerk::logic

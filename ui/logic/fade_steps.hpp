// Window fading: every window opens by stepping its opacity up from 0 to 200 and closes by
// stepping it down to 0, one step per 20 ms timer tick, before the action its closing leads to.
// Whether windows fade at all depends on the platform: the version classification below, and on
// platforms it does not know, whether the desktop supports per-window opacity.
#pragma once

#include <cstdint>
#include <string>

namespace kartwerk::logic {

// Opacity runs from 0 (invisible) to 255; a faded-in window rests at 200.
inline constexpr int kFadeShownOpacity = 200;
inline constexpr int kFadeStepSize = 10;
inline constexpr int kFadeTimerIntervalMs = 20;

struct FadeStep {
  int opacity = 0;
  bool done = false;  // the timer stops (and, fading out, the pending action runs)
};

// One fade-in tick: at 200 the fade is done, otherwise 10 more.
FadeStep FadeInStep(int opacity);
// One fade-out tick: above 0, 10 less; at 0 the fade is done.
FadeStep FadeOutStep(int opacity);

// What the operating system's version query reports.
struct PlatformVersion {
  int platformId = 0;  // 1 the 9x family, 2 the NT family; anything else is unknown
  int major = 0;
  int minor = 0;
  std::string servicePack;  // the service-pack text
  bool queried = false;     // false when the query failed
};

// The platform versions the fade decision knows by name.
enum class PlatformClass {
  Unknown,                 // any other version, any other platform, or a failed query
  Windows95,               // the 9x family's 4.0
  Windows98,               // 4.10
  Windows98SecondEdition,  // 4.10 whose service-pack text has "A" as its second character
  WindowsMe,               // 4.90
  WindowsNt4,              // the NT family up to 4
  Windows2000,             // NT 5.0
  WindowsXp,               // NT 5.1
};

PlatformClass ClassifyPlatform(const PlatformVersion& version);

// Whether windows fade: Windows 2000 and XP do and the older known versions do not; on any other
// platform (Unknown) windows fade exactly when the desktop supports per-window opacity.
bool WindowsFade(PlatformClass platform, bool desktopHasWindowOpacity);

}  // namespace kartwerk::logic

// The fade steps and the platform check, with the one piece that asks the operating system.
#pragma once

#include "ui/logic/fade_steps.hpp"

namespace kartwerk {

// The version of the system this program runs on (a failed query off Windows).
PlatformVersion QueryPlatformVersion();

}  // namespace kartwerk

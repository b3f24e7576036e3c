// Pictures of the real screen for the Windows suites that show windows (*_win32_desktop_test):
// scripts/test-win32-desktop.sh runs such a suite under Wine on its own X server and takes the
// pictures the suite asks for, through files in a shared folder (KARTWERK_SCREENSHOTS):
//   the suite writes NAME.want ("left top width height", screen pixels) and waits;
//   the script saves the whole screen as NAME.png and writes NAME.seen: the rectangle's mean
//   brightness (0 to 1), or a line beginning with "error" when it could not measure it.
// The screen is Xvfb with a compositor: the empty desktop is flat grey, and a layered window's
// alpha blends over it as on a desktop. The pictures stay in that folder for a person to look at.
// Windows only.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kartwerk::testing {

// Delivers every message waiting for the calling thread (PeekMessage, TranslateMessage,
// DispatchMessage), so its windows paint and their timers tick while a picture is taken.
void PumpMessages();

// The folder the pictures go to, as this program names it; nullopt when no script runs the suite.
std::optional<std::filesystem::path> ScreenshotsFolder();

// A picture of the real screen named name.png (name: letters, digits, '-' and '_'), taken by the
// script that runs the suite, and the mean brightness (0 to 1) of the rectangle (screen pixels)
// in it; nullopt when no script runs the suite. While it waits (up to 30 s) it calls pump, which
// must deliver the thread's messages (windows with a loop of their own pass theirs). Throws
// std::runtime_error when the script does not answer in time or cannot measure the rectangle.
std::optional<double> ScreenBrightness(const std::string& name, int left, int top, int width, int height,
                                       const std::function<void()>& pump = PumpMessages);

}  // namespace kartwerk::testing

// Running the windows: the application object, the session's connections to the desktop (ending
// the main loop, the error report, the editor start, whether windows can fade) and the main loop.
// Only the program's window mode calls this; subcommands never create an application object.
#pragma once

#include "ui/qt/qt_session.hpp"

namespace kartwerk::qt {

// Whether a Qt platform plugin shows windows with per-window opacity ("xcb", "windows" and "cocoa"
// do; "wayland", "offscreen", framebuffers and VNC do not).
bool PlatformHasWindowOpacity(const QString& platformName);

// Creates the application, fills the session's unset hooks with the desktop's own, makes the
// windows and runs the browser's start sequence in the main loop until the program ends.
// session.CommandLineMap, installs.Registry and WinePrefix are set by the caller.
int RunWindows(int& argc, char** argv, QtSession& session);

}  // namespace kartwerk::qt

// Running the windows: the application object, the session's connections to the desktop (ending
// the main loop, the error report, the editor start, whether windows can fade) and the main loop.
// Only the program's window mode calls this; subcommands never create an application object.
#pragma once

#include "ui/qt/qt_session.hpp"

class QWidget;

namespace kartwerk::qt {

// The error report: a message box titled kErrorBoxTitle, as the Windows face's, owned by the
// window on show (null for none), above it (transient for it, on top like it) and modal to it.
void ShowErrorBox(const QString& message, QWidget* owner);

// Whether a Qt platform plugin shows windows with per-window opacity ("xcb", "windows" and "cocoa"
// do; "wayland", "offscreen", framebuffers and VNC do not).
bool PlatformHasWindowOpacity(const QString& platformName);

// Creates the application, fills the session's unset hooks with the desktop's own, makes the
// windows and runs the browser's start sequence in the main loop until the program ends.
// session.commandLineMap, installs.registry and WinePrefix are set by the caller.
int RunWindows(int& argc, char** argv, QtSession& session);

}  // namespace kartwerk::qt

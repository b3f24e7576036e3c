// What the desktop under the windows can do, asked of the window system itself: whether a window
// can be shown half transparent, and sending queued requests to the display at once.
#pragma once

#include <string_view>

class QString;

namespace kartwerk::qt {

// The X screen a DISPLAY value names (":0.1" is screen 1); 0 when it names none.
int X11ScreenNumber(std::string_view display);

// Whether windows of this application are shown with their opacity: on X11 only while a
// compositing manager runs (the owner of the screen's _NET_WM_CM_S<n> selection); "windows" and
// "cocoa" always; Wayland, offscreen and framebuffer platforms never.
bool DesktopShowsWindowOpacity();

// Whether the desktop stacks windows and can raise one above the others (X11, Wayland, Windows,
// macOS; not the offscreen and framebuffer platforms).
bool DesktopStacksWindows();

// Sends the requests queued for the display now. X11 keeps a window's opacity change in its
// queue until some other event flushes it, so a fade driven by a timer alone never reaches
// the compositor; elsewhere this does nothing.
void FlushWindowSystem();

}  // namespace kartwerk::qt

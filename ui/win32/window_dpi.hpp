// The windows' sizes at the screen's resolution: the layout is drawn for 96 dots per inch, and a
// window on a screen of more (144 at 150 %) scales every place, size and font by dpi / 96.
#pragma once

#include <windows.h>

#include "ui/logic/window_layout.hpp"

namespace kartwerk::win32 {

inline constexpr UINT kDesignDpi = 96;

// The resolution the window is drawn at: its monitor's where the system knows per-monitor
// resolutions, else the screen's.
UINT WindowDpi(HWND window);

// A length of the layout in pixels at dpi, rounded to the nearest pixel.
int ScaleToDpi(int units, UINT dpi);
// A box of the layout in pixels at dpi: its edges are scaled, so boxes that touch still touch.
RECT ScaledRect(logic::layout::Box box, UINT dpi);

// Makes this process draw its windows at the monitor's resolution itself (as the program's
// manifest declares); for programs without that manifest, such as the test suites. Returns
// whether the system took it.
bool DeclarePerMonitorDpiAwareness();

}  // namespace kartwerk::win32

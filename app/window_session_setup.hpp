// What the windows' session learns from the command line before any window opens, whichever
// face shows the windows: the start-up rules (the association, the map handed over), and where
// the game's installations are looked for.
#pragma once

#include "app/window_options.hpp"
#include "ui/logic/window_session.hpp"

namespace kartwerk::app {

void PrepareWindowSession(logic::WindowSession& session, int argc, char** argv, const WindowOptions& options);

}  // namespace kartwerk::app

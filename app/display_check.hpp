// Whether the windows can open on this desktop, asked before anything of the window mode runs:
// Qt ends a program that finds no display with an abort and advice about reinstalling, after the
// start-up has already written the file association.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kartwerk::app {

// What the check reads from outside: an environment variable (empty when unset), and whether a
// local socket at a path accepts a connection.
struct DisplayEnvironment {
  std::function<std::string(const char*)> variable;
  std::function<bool(const std::string&)> socketAnswers;
};

// The process's own environment and sockets.
DisplayEnvironment ProcessDisplayEnvironment();

// Nothing when a display can be opened (or a platform without one, such as offscreen, is named in
// QT_QPA_PLATFORM); otherwise why not, as the end of "cannot open the windows: ...". An X display
// on another host is taken as reachable: only Qt can tell.
std::optional<std::string> NoDisplayReason(const DisplayEnvironment& environment);

}  // namespace kartwerk::app

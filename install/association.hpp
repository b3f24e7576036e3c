// Registering the program with the shell as the handler of the compiled map types, done
// anew at every start: the class-root entries on Windows, the freedesktop.org MIME package
// and desktop entry under the user's data folder elsewhere.
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace kartwerk {

// Writes the association of ".qdm", ".qdp" and ".qdc", in that order. Returns std::nullopt on
// success, otherwise what went wrong first. Never throws.
std::optional<std::string> TryRegisterMapTypes();

// The same, reporting a failure as one line on errors. Returns whether it succeeded.
bool RegisterMapTypes(std::ostream& errors);

}  // namespace kartwerk

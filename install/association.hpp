// Registering the program with the shell as the handler of the compiled map types, done
// anew at every start: the class-root entries on Windows, the freedesktop.org MIME package
// and desktop entry under the user's data folder elsewhere.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace kartwerk {

// The desktop entry that already opens the map types with Kartwerk for every user (installed by
// the package or `make install`); nothing when there is none, and always nothing on Windows.
std::optional<std::filesystem::path> SystemWideAssociation();

// Writes the association of ".qdm", ".qdp" and ".qdc", in that order, unless a system-wide one
// exists (then nothing is written). Returns std::nullopt on success, otherwise what went wrong
// first. Never throws.
std::optional<std::string> TryRegisterMapTypes();

// The same, reporting a failure as one line on errors. Returns whether it succeeded.
bool RegisterMapTypes(std::ostream& errors);

}  // namespace kartwerk

// Registering the program with the shell as the handler of the compiled map types: the
// class-root entries on Windows, the freedesktop.org MIME package and desktop entry under the
// user's data folder elsewhere. `kartwerk register` writes them; a start writes them anew
// elsewhere, and on Windows only where no working program opens a type (or, for the installed
// copy, where the type is Kartwerk's already).
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "desktop/association_rules.hpp"

namespace kartwerk::desktop {

// The desktop entry that already opens the map types with Kartwerk for every user (installed by
// the package or `make install`); nothing when there is none, and always nothing on Windows.
std::optional<std::filesystem::path> SystemWideAssociation();

// Writes the association of ".qdm", ".qdp" and ".qdc", in that order, unless a system-wide one
// exists (then nothing is written); on Windows a start writes only the types TakesMapType allows.
// Returns std::nullopt on success, otherwise what went wrong first. Never throws.
std::optional<std::string> TryRegisterMapTypes(AssociationRequest request = AssociationRequest::Command);

// The same, reporting a failure as one line on errors. Returns whether it succeeded.
bool RegisterMapTypes(std::ostream& errors, AssociationRequest request = AssociationRequest::Command);

}  // namespace kartwerk::desktop

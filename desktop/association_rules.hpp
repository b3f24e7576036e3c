// When a start of the program may write the association of a map type: other programs' claims
// on a type are kept, and a copy of the program that is not the installed one (a download
// started where it lies) never takes a type that opens with a working program already.
#pragma once

#include <string>
#include <string_view>

namespace kartwerk::desktop {

// Why the association is being written.
enum class AssociationRequest {
  Start,    // a start of the windows: only what is missing or broken, and the installation's own
  Command,  // `kartwerk register` (and the installer through it): every type
};

// The program the shell starts for a map type now.
struct MapTypeHandler {
  std::string progId;  // the class the extension names; empty when the extension has none
  bool works = false;  // the class's open command names a program that exists
};

// Whether to write the association of the type whose class Kartwerk names typeProgId ("qdm"):
// always on a command; on a start when the type has no working program, or, for the installed
// copy, when the type is Kartwerk's already (written anew, so it follows a moved installation).
bool TakesMapType(AssociationRequest request, bool installedCopy, std::string_view typeProgId,
                  const MapTypeHandler& current);

// The program of a shell command as the registry holds it: the quoted first part, or everything
// up to the first blank; surrounding blanks removed. Empty for an empty command.
std::string CommandProgram(std::string_view command);

}  // namespace kartwerk::desktop

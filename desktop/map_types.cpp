#include "desktop/map_types.hpp"

#include "format/map_info.hpp"

namespace kartwerk::desktop {

std::array<ClassRootEntry, 8> ClassRootEntries(const MapType& type, std::string_view programPath) {
  const std::string extension(type.extension);
  const std::string description = core::Cp1252ToUtf8(type.description);
  const std::string program(programPath);
  // Both parts quoted: the program takes the map from its first argument, and a path with a
  // blank ("C:\Program Files\...", "My Maps\x.qdm") would otherwise arrive in pieces.
  const std::string command = "\"" + program + "\" \"%1\"";
  return {{
      {"." + extension, extension},
      {extension, description},
      {extension + "\\DefaultIcon", program + ",0"},
      // "open" is the verb callers ask for by name (a desktop's file opener, ShellExecute with
      // "open") and the default a double-click takes; "Default_action" stays for those that
      // already call it.
      {extension + "\\Shell", "open"},
      {extension + "\\Shell\\open", "Convert " + description},
      {extension + "\\Shell\\open\\command", command},
      {extension + "\\Shell\\Default_action", "Convert " + description},
      {extension + "\\Shell\\Default_action\\command", command},
  }};
}

}  // namespace kartwerk::desktop

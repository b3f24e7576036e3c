#include "install/map_types.hpp"

#include "core/map_info.hpp"

namespace kartwerk {

std::array<ClassRootEntry, 6> ClassRootEntries(const MapType& type, std::string_view programPath) {
  const std::string extension(type.extension);
  const std::string description = Cp1252ToUtf8(type.description);
  const std::string program(programPath);
  return {{
      {"." + extension, extension},
      {extension, description},
      {extension + "\\DefaultIcon", program + ",0"},
      {extension + "\\Shell", "Default_action"},
      {extension + "\\Shell\\Default_action", "Convert " + description},
      // Both parts quoted: the program takes the map from its first argument, and a path with a
      // blank ("C:\Program Files\...", "My Maps\x.qdm") would otherwise arrive in pieces.
      {extension + "\\Shell\\Default_action\\command", "\"" + program + "\" \"%1\""},
  }};
}

}  // namespace kartwerk

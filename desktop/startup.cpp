#include "desktop/startup.hpp"

#include <filesystem>
#include <system_error>

#include "desktop/association.hpp"
#include "format/map_kind.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::desktop {

std::string CommandLineMapFromArguments(int argc, const char* const* argv) {
  // The shell hands the map over as the first argument; the whole path is kept, however long.
  if (argc < 2 || !argv || !argv[1]) return {};
  return argv[1];
}

std::string_view MapFileExtension(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  const std::size_t separator = path.find_last_of("\\/:");
  if (separator != std::string_view::npos && separator > dot) return {};
  return path.substr(dot);
}

void SetMapKindFromFile(format::Conversion& conversion, std::string_view commandLineMap) {
  conversion.MapKind = format::MapKindFromExtension(MapFileExtension(commandLineMap));
}

std::string StartProgram(int argc, const char* const* argv, game::GameInstallations& installs,
                         format::Conversion& conversion, std::ostream& errors) {
  std::string commandLineMap = CommandLineMapFromArguments(argc, argv);
  installs.chosenVersion = 0;
  RegisterMapTypes(errors, AssociationRequest::Start);
  std::error_code ec;
  if (!commandLineMap.empty() && std::filesystem::is_regular_file(platform::PathFromText(commandLineMap), ec)) {
    SetMapKindFromFile(conversion, commandLineMap);
  }
  return commandLineMap;
}

}  // namespace kartwerk::desktop

#include "desktop/association_rules.hpp"

#include <cctype>

namespace kartwerk::desktop {
namespace {

bool SameClassName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace

bool TakesMapType(AssociationRequest request, bool installedCopy, std::string_view typeProgId,
                  const MapTypeHandler& current) {
  if (request == AssociationRequest::Command) return true;
  if (current.progId.empty() || !current.works) return true;
  // Class names are case-insensitive in the registry.
  return installedCopy && SameClassName(current.progId, typeProgId);
}

std::string CommandProgram(std::string_view command) {
  const std::size_t first = command.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  command.remove_prefix(first);
  if (command.front() == '"') {
    const std::size_t close = command.find('"', 1);
    return std::string(command.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  }
  return std::string(command.substr(0, command.find_first_of(" \t")));
}

}  // namespace kartwerk::desktop

#include "format/game_version.hpp"

namespace kartwerk::format {

GameVersionKind GameVersionKindOf(std::string_view version) {
  return version == "1.9" ? GameVersionKind::OlderKeywords : GameVersionKind::CurrentKeywords;
}

}  // namespace kartwerk::format

#include "format/game_version.hpp"

namespace kartwerk::format {

GameVersionKindCode GameVersionKindOf(std::string_view version) {
  return version == "1.9" ? OlderKeywords : CurrentKeywords;
}

}  // namespace kartwerk::format

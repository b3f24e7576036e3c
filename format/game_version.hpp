// Which of the game's two script keyword sets a conversion writes, chosen by the installed game's
// version text: version "1.9" knows a slightly older set than every later one.
#pragma once

#include <cstdint>
#include <string_view>

namespace kartwerk::format {

enum class GameVersionKind : std::uint8_t {
  None = 0,             // no game located yet
  OlderKeywords = 1,    // the game's version "1.9"
  CurrentKeywords = 2,  // every other version, the empty text included
};

// OlderKeywords for the version text "1.9" exactly (case and all), CurrentKeywords otherwise.
GameVersionKind GameVersionKindOf(std::string_view version);

}  // namespace kartwerk::format

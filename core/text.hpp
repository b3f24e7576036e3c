// Small byte-text helpers: the game's texts are Windows-1252 bytes, compared the way
// the game's own file system compares names (ASCII letters without regard to case).
#pragma once

#include <string>
#include <string_view>

namespace kartwerk::core {

std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// Orders names as a case-insensitive directory listing does.
bool LessIgnoreCase(std::string_view a, std::string_view b);
// Shell-style pattern with '*' and '?', matched without regard to case.
bool MatchesPatternIgnoreCase(std::string_view pattern, std::string_view name);

}  // namespace kartwerk::core

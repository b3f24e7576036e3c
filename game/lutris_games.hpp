// The Wine prefix a Lutris game configuration names. Lutris keeps one YAML file per game, whose
// "game" section holds the prefix ("game:" then an indented "prefix: /home/u/Games/x").
#pragma once

#include <filesystem>
#include <string_view>

namespace kartwerk::game {

// The "prefix" of the top-level "game" section, unquoted, with a leading "~/" taken from home;
// empty when the configuration names none.
std::filesystem::path LutrisGamePrefix(std::string_view yaml, const std::filesystem::path& home);

}  // namespace kartwerk::game

// The program's icon, drawn here and encoded as PNG, so that the association needs no file
// beside the program: a square of sea with a grassy terrain rhomb, as maps are built of rhombs.
#pragma once

#include <cstdint>
#include <vector>

namespace kartwerk {

inline constexpr int ProgramIconSize = 48;

// A 48x48 RGBA PNG image.
std::vector<std::uint8_t> ProgramIconPng();

}  // namespace kartwerk

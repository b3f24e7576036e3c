// The program's icon, drawn here and encoded as PNG, so that the association needs no file
// beside the program: a square of sea with a grassy terrain rhomb, as maps are built of rhombs.
#pragma once

#include <cstdint>
#include <vector>

namespace kartwerk::desktop {

inline constexpr int kProgramIconSize = 48;

// The sizes a desktop theme wants (icons/hicolor/NxN/apps).
inline constexpr int kProgramIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// A size x size RGBA PNG image (16 to 1024 pixels; std::invalid_argument otherwise).
std::vector<std::uint8_t> ProgramIconPng(int size = kProgramIconSize);

}  // namespace kartwerk::desktop

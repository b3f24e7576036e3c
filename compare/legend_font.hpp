// A small bitmap font for the words of a picture's legend: 5 x 7 lower-case letters, no toolkit.
#pragma once

#include <string_view>

#include "preview/picture.hpp"

namespace kartwerk::compare {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// Draws text with its top-left corner at (x, y), each font pixel size x size; letters the font
// lacks are left blank. Returns the x after the text.
int DrawLegendText(preview::Picture& picture, int x, int y, std::string_view text, int size, preview::Rgb colour);

}  // namespace kartwerk::compare

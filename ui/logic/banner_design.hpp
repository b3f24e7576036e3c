// The banner across the top of the windows, as a design that every renderer paints alike (the Qt
// windows at start, the picture tool for the Win32 resources): a pale sky gradient, terrain
// rhombs rising from the right edge with a white outline, and the line under the word mark.
#pragma once

#include <vector>

#include "ui/logic/window_layout.hpp"

namespace kartwerk::logic::layout {

inline constexpr Colour kBannerSkyTop{236, 243, 252};
inline constexpr Colour kBannerSkyBottom{252, 253, 255};
// The rhombs' one-pixel outline: white at this alpha.
inline constexpr int kBannerOutlineAlpha = 140;
// The line under the word mark: the word mark's colour at this alpha, one pixel high.
inline constexpr int kUnderlineAlpha = 120;
inline constexpr double kUnderlineLeft = 32, kUnderlineRight = 170, kUnderlineY = 47.5;

// One diamond of the isometric terrain: its centre, width, height and land colour.
struct BannerRhomb {
  double cx, cy, width, height;
  Colour land;
};

// The terrain in drawing order: rows from the bottom, each from the right edge, cut by a slope
// running down to the left.
inline std::vector<BannerRhomb> BannerTerrain() {
  std::vector<BannerRhomb> terrain;
  const double w = 28, h = 14;
  for (int row = 0; row < 6; ++row) {
    for (int col = 0; col < 9; ++col) {
      const double cx = kBannerWidth - col * w - (row % 2) * (w / 2);
      const double cy = kBannerHeight - row * (h / 2);
      if (cx < kBannerWidth - 230 + row * 22) continue;
      const int shade = (col * 37 + row * 53) % 40;
      const Colour land = (row + col) % 7 == 0 ? Colour{196, 214, 232}
                                               : Colour{static_cast<std::uint8_t>(176 + shade / 2),
                                                        static_cast<std::uint8_t>(206 - shade / 3), 160};
      terrain.push_back({cx, cy, w, h, land});
    }
  }
  return terrain;
}

}  // namespace kartwerk::logic::layout

#include "preview/picture.hpp"

#include <algorithm>

namespace kartwerk::preview {

Picture::Picture(int width, int height, Rgb fill) : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
  for (std::size_t i = 0; i < pixels_.size(); i += 3) {
    pixels_[i] = fill.r;
    pixels_[i + 1] = fill.g;
    pixels_[i + 2] = fill.b;
  }
}

Rgb Picture::At(int x, int y) const {
  if (!Inside(x, y)) return {};
  const std::size_t at =
      (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 3;
  return {pixels_[at], pixels_[at + 1], pixels_[at + 2]};
}

void Picture::Set(int x, int y, Rgb colour) {
  if (!Inside(x, y)) return;
  const std::size_t at =
      (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 3;
  pixels_[at] = colour.r;
  pixels_[at + 1] = colour.g;
  pixels_[at + 2] = colour.b;
}

void Picture::FillRect(int x, int y, int w, int h, Rgb colour) {
  const int left = std::max(x, 0), right = std::min(x + w, width_);
  const int top = std::max(y, 0), bottom = std::min(y + h, height_);
  for (int row = top; row < bottom; ++row) {
    std::uint8_t* at =
        pixels_.data() +
        (static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(left)) * 3;
    for (int column = left; column < right; ++column, at += 3) {
      at[0] = colour.r;
      at[1] = colour.g;
      at[2] = colour.b;
    }
  }
}

}  // namespace kartwerk::preview

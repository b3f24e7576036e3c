// A picture in memory: RGB, three bytes per pixel, row by row from the top.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kartwerk::preview {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Picture {
 public:
  // width x height pixels of fill; a side of 0 or less gives an empty picture.
  Picture(int width, int height, Rgb fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  // The pixel at (x, y); black outside the picture.
  Rgb At(int x, int y) const;
  // Pixels outside the picture are left alone, so callers may draw across its edges.
  void Set(int x, int y, Rgb colour);
  void FillRect(int x, int y, int w, int h, Rgb colour);
  // The pixels, width x 3 bytes per row.
  std::span<const std::uint8_t> bytes() const { return pixels_; }

 private:
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace kartwerk::preview

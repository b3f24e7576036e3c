// The pictures of the native Windows windows, drawn on the build machine as the Qt windows draw
// them (ui/qt/window_look.cpp), and the two picture formats the resource compiler takes: BMP for
// the banner, ICO for the icons.
#pragma once

#include <cstdint>
#include <vector>

namespace kartwerk::tools {

// Straight-alpha RGBA pixels, rows from the top.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

inline constexpr int kMapRowIconSize = 16;
// The sizes of the map-row icon in map_row.ico: 16 at 96 dpi, 24 at 144, 32 at 192.
inline constexpr int kMapRowIconSizes[] = {16, 24, 32};
// The resolutions the banner is drawn for, each in its own file (banner.bmp, banner_144.bmp, ...).
inline constexpr int kBannerDpis[] = {96, 144, 192};
// The program icon's sizes in kartwerk.ico: DIB pictures up to 48 pixels, PNG at 256.
inline constexpr int kProgramIconDibSizes[] = {16, 32, 48};
inline constexpr int kProgramIconPngSize = 256;

// The banner across the top of the windows: the sky and the terrain rhombs with the line under
// the word mark, without the word mark itself (the window writes it in its own font); at dpi
// it is 415 x 70 scaled by dpi / 96.
RgbaImage DrawBannerPicture(int dpi = 96);

// The icon in front of each map row, size pixels square (designed at 16): a folded map sheet
// with a green land patch.
RgbaImage DrawMapRowIcon(int size = kMapRowIconSize);

// The program icon at one size, decoded from ProgramIconPng.
RgbaImage ProgramIconImage(int size);

// A bottom-up 24-bit BMP file; the alpha is dropped.
std::vector<std::uint8_t> EncodeBmp(const RgbaImage& image);

// One picture of an icon file: a DIB (32-bit with an AND mask) or a PNG.
struct IconPicture {
  int size = 0;
  std::vector<std::uint8_t> data;
};

// The DIB of an icon picture: header, 32-bit BGRA rows and the AND mask, both bottom-up.
std::vector<std::uint8_t> EncodeIconDib(const RgbaImage& image);

// An ICO file holding the pictures in the order given.
std::vector<std::uint8_t> EncodeIco(const std::vector<IconPicture>& pictures);

// kartwerk.ico: the program icon at every size of kProgramIconDibSizes and kProgramIconPngSize.
std::vector<std::uint8_t> ProgramIconFile();

}  // namespace kartwerk::tools

// The program icon is drawn as a PNG (desktop/program_icon.cpp); its small sizes are read back with
// stb_image (Debian's libstb-dev), compiled into this file alone and private to it.
#include "tools/window_pictures.hpp"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "desktop/program_icon.hpp"
#include "ui/logic/banner_design.hpp"

namespace kartwerk::tools {
namespace {

// Each pixel is the mean of kSamples x kSamples points, which smooths the slanted rhomb edges
// as the Qt painter's antialiasing does.
constexpr int kSamples = 8;

struct Rgb {
  double r, g, b;
};

// A colour with premultiplied alpha, so that sample points average correctly.
struct Paint {
  double r = 0, g = 0, b = 0, a = 0;

  void Over(Rgb c, double alpha = 1.0) {
    r = c.r * alpha + r * (1 - alpha);
    g = c.g * alpha + g * (1 - alpha);
    b = c.b * alpha + b * (1 - alpha);
    a = alpha + a * (1 - alpha);
  }
};

struct Box {
  double left, top, right, bottom;
  bool Holds(double x, double y) const { return x >= left && x <= right && y >= top && y <= bottom; }

  // Within the corner triangles a bevelled pen join leaves out: less than `cut` from a corner,
  // counting along the two edges.
  bool InBevel(double x, double y, double cut) const {
    return std::min(x - left, right - x) + std::min(y - top, bottom - y) < cut;
  }
};

// One diamond of the isometric terrain, centred at (cx, cy).
struct Rhomb {
  double cx, cy, w, h;

  bool Holds(double x, double y) const { return std::abs(x - cx) / (w / 2) + std::abs(y - cy) / (h / 2) <= 1; }

  // Within half a pixel of the outline: under a one-pixel pen drawn along it. Folded into one
  // quadrant, the outline is the edge from the right corner to the bottom one.
  bool UnderPen(double x, double y) const {
    const double px = std::abs(x - cx), py = std::abs(y - cy);
    const double ex = -w / 2, ey = h / 2;  // the edge from (w/2, 0) to (0, h/2)
    const double t = std::clamp(((px - w / 2) * ex + py * ey) / (ex * ex + ey * ey), 0.0, 1.0);
    const double dx = px - (w / 2 + t * ex), dy = py - t * ey;
    return dx * dx + dy * dy <= 0.25;
  }

  Box Bounds() const { return {cx - w / 2 - 1, cy - h / 2 - 1, cx + w / 2 + 1, cy + h / 2 + 1}; }
};

std::uint8_t Channel(double value) { return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

// Renders width x height pixels of a scene that paints one sample point at a time.
RgbaImage Render(int width, int height, const std::function<Paint(double, double)>& scene) {
  RgbaImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      Paint sum;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const Paint p = scene(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
          sum.r += p.r, sum.g += p.g, sum.b += p.b, sum.a += p.a;
        }
      }
      std::uint8_t* out = &image.pixels[(static_cast<std::size_t>(y) * width + x) * 4];
      const double alpha = sum.a / (kSamples * kSamples);
      if (sum.a > 0) {
        out[0] = Channel(sum.r / sum.a), out[1] = Channel(sum.g / sum.a), out[2] = Channel(sum.b / sum.a);
      }
      out[3] = Channel(alpha * 255);
    }
  }
  return image;
}

Rgb From(logic::layout::Colour c) {
  return {static_cast<double>(c.red), static_cast<double>(c.green), static_cast<double>(c.blue)};
}

}  // namespace

RgbaImage DrawBannerPicture(int dpi) {
  std::vector<std::pair<Rhomb, Rgb>> terrain;
  for (const logic::layout::BannerRhomb& rhomb : logic::layout::BannerTerrain()) {
    terrain.push_back({{rhomb.cx, rhomb.cy, rhomb.width, rhomb.height}, From(rhomb.land)});
  }
  const Rgb kSkyTop = From(logic::layout::kBannerSkyTop), kSkyBottom = From(logic::layout::kBannerSkyBottom);
  const Rgb kOutline = From(logic::layout::kWhite), kMarkBlue = From(logic::layout::kWordMarkColour);
  // The pen's one pixel reaches half a pixel past the line's ends and to either side of it.
  constexpr Box kUnderline{logic::layout::kUnderlineLeft - 0.5, logic::layout::kUnderlineY - 0.5,
                           logic::layout::kUnderlineRight + 0.5, logic::layout::kUnderlineY + 0.5};
  // Drawn anew at the resolution rather than stretched: every edge and the underline stay sharp.
  const double scale = dpi / 96.0;
  // Rounded as the windows round their sizes, so the picture meets its box pixel for pixel.
  const int width = (logic::layout::kBannerWidth * dpi + 48) / 96,
            height = (logic::layout::kBannerHeight * dpi + 48) / 96;
  return Render(width, height, [&](double px, double py) {
    const double x = px / scale, y = py / scale;
    // A pale sky over the strip, so the titles written across it stay readable.
    const double t = y / logic::layout::kBannerHeight;
    Paint p;
    p.Over({kSkyTop.r + (kSkyBottom.r - kSkyTop.r) * t, kSkyTop.g + (kSkyBottom.g - kSkyTop.g) * t,
            kSkyTop.b + (kSkyBottom.b - kSkyTop.b) * t});
    for (const auto& [shape, land] : terrain) {
      if (!shape.Bounds().Holds(x, y)) continue;
      if (shape.Holds(x, y)) p.Over(land);
      if (shape.UnderPen(x, y)) p.Over(kOutline, logic::layout::kBannerOutlineAlpha / 255.0);
    }
    if (kUnderline.Holds(x, y)) p.Over(kMarkBlue, logic::layout::kUnderlineAlpha / 255.0);
    return p;
  });
}

RgbaImage DrawMapRowIcon(int size) {
  constexpr Rgb kInk{90, 110, 140}, kSheet{238, 244, 250}, kLand{150, 196, 130};
  constexpr Box kSheetOuter{1, 2, 15, 14}, kSheetInner{2, 3, 14, 13};  // a one-pixel pen round the sheet
  constexpr Box kFoldLeft{5.5, 2.5, 6.5, 13.5}, kFoldRight{10, 2.5, 11, 13.5};
  constexpr Rhomb kPatch{8, 8, 10, 6};
  const double scale = static_cast<double>(size) / kMapRowIconSize;
  return Render(size, size, [&](double px, double py) {
    const double x = px / scale, y = py / scale;
    Paint p;
    if (kSheetInner.Holds(x, y)) p.Over(kSheet);
    if (kSheetOuter.Holds(x, y) && !kSheetInner.Holds(x, y) && !kSheetOuter.InBevel(x, y, 0.5)) p.Over(kInk);
    if (kPatch.Holds(x, y)) p.Over(kLand);
    if (kFoldLeft.Holds(x, y)) p.Over(kInk, 140 / 255.0);
    if (kFoldRight.Holds(x, y)) p.Over(kInk, 140 / 255.0);
    return p;
  });
}

RgbaImage ProgramIconImage(int size) {
  const std::vector<std::uint8_t> png = desktop::ProgramIconPng(size);
  int width = 0, height = 0, channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width, &height, &channels, 4), stbi_image_free);
  if (!pixels || width != size || height != size) throw std::runtime_error("Cannot read back the program icon");
  RgbaImage image{width, height, {}};
  image.pixels.assign(pixels.get(), pixels.get() + static_cast<std::size_t>(width) * height * 4);
  return image;
}

namespace {

void PutU16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

// BITMAPINFOHEADER of an uncompressed bottom-up picture.
void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bitsPerPixel, std::uint32_t dataSize) {
  PutU32(out, 40);
  PutU32(out, static_cast<std::uint32_t>(width));
  PutU32(out, static_cast<std::uint32_t>(height));
  PutU16(out, 1);  // planes
  PutU16(out, static_cast<unsigned>(bitsPerPixel));
  PutU32(out, 0);  // BI_RGB
  PutU32(out, dataSize);
  PutU32(out, 2835);  // 72 dots per inch, in dots per metre
  PutU32(out, 2835);
  PutU32(out, 0);  // colours used
  PutU32(out, 0);  // important colours
}

// Rows of a BMP are padded to whole 32-bit words.
std::size_t RowBytes(int width, int bitsPerPixel) {
  return (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

const std::uint8_t* PixelAt(const RgbaImage& image, int x, int y) {
  return &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const RgbaImage& image) {
  const std::size_t rowBytes = RowBytes(image.width, 24);
  const auto dataSize = static_cast<std::uint32_t>(rowBytes * image.height);
  std::vector<std::uint8_t> out{'B', 'M'};
  PutU32(out, 14 + 40 + dataSize);
  PutU32(out, 0);        // reserved
  PutU32(out, 14 + 40);  // where the pixels start
  PutInfoHeader(out, image.width, image.height, 24, dataSize);
  for (int y = image.height - 1; y >= 0; --y) {
    const std::size_t rowStart = out.size();
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = PixelAt(image, x, y);
      out.insert(out.end(), {p[2], p[1], p[0]});
    }
    out.resize(rowStart + rowBytes, 0);
  }
  return out;
}

std::vector<std::uint8_t> EncodeIconDib(const RgbaImage& image) {
  const std::size_t maskRowBytes = RowBytes(image.width, 1);
  const auto dataSize = static_cast<std::uint32_t>((image.width * 4 + maskRowBytes) * image.height);
  std::vector<std::uint8_t> out;
  // An icon's DIB counts the colour rows and the mask rows in its height.
  PutInfoHeader(out, image.width, image.height * 2, 32, dataSize);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = PixelAt(image, x, y);
      out.insert(out.end(), {p[2], p[1], p[0], p[3]});
    }
  }
  // The AND mask: a set bit lets the background through, for viewers that ignore the alpha.
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskRowBytes, 0);
    for (int x = 0; x < image.width; ++x) {
      if (PixelAt(image, x, y)[3] == 0) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<std::uint8_t> EncodeIco(const std::vector<IconPicture>& pictures) {
  std::vector<std::uint8_t> out;
  PutU16(out, 0);  // reserved
  PutU16(out, 1);  // an icon, not a cursor
  PutU16(out, static_cast<unsigned>(pictures.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * pictures.size());
  for (const IconPicture& picture : pictures) {
    if (picture.size < 1 || picture.size > 256) throw std::invalid_argument("An icon picture is 1 to 256 pixels wide");
    const auto side = static_cast<std::uint8_t>(picture.size == 256 ? 0 : picture.size);  // 0 stands for 256
    out.insert(out.end(), {side, side, 0, 0});                                            // no palette, reserved
    PutU16(out, 1);                                                                       // planes
    PutU16(out, 32);                                                                      // bits per pixel
    PutU32(out, static_cast<std::uint32_t>(picture.data.size()));
    PutU32(out, offset);
    offset += static_cast<std::uint32_t>(picture.data.size());
  }
  for (const IconPicture& picture : pictures) out.insert(out.end(), picture.data.begin(), picture.data.end());
  return out;
}

std::vector<std::uint8_t> ProgramIconFile() {
  std::vector<IconPicture> pictures;
  for (int size : kProgramIconDibSizes) pictures.push_back({size, EncodeIconDib(ProgramIconImage(size))});
  pictures.push_back({kProgramIconPngSize, desktop::ProgramIconPng(kProgramIconPngSize)});
  return EncodeIco(pictures);
}

}  // namespace kartwerk::tools

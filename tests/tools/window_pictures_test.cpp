// The pictures of the Windows program's resources: the BMP and ICO files are read back field by
// field as a resource compiler and Windows read them, and their pixels show what the windows draw.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "tools/window_pictures.hpp"

namespace kartwerk::tools {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U16(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

struct IconEntry {
  int size;
  std::uint32_t bytes, offset;
};

// The directory of an ICO file, checked against the data it points to.
std::vector<IconEntry> ReadIconDirectory(const Bytes& ico) {
  EXPECT_EQ(U16(ico, 0), 0u);
  EXPECT_EQ(U16(ico, 2), 1u);
  std::vector<IconEntry> entries;
  std::uint32_t expectedOffset = 6 + 16 * U16(ico, 4);
  for (std::uint32_t i = 0; i < U16(ico, 4); ++i) {
    const std::size_t at = 6 + 16 * i;
    EXPECT_EQ(ico.at(at), ico.at(at + 1)) << "square pictures";
    EXPECT_EQ(U16(ico, at + 6), 32u) << "bits per pixel";
    const IconEntry entry{ico.at(at) == 0 ? 256 : ico.at(at), U32(ico, at + 8), U32(ico, at + 12)};
    EXPECT_EQ(entry.offset, expectedOffset) << "pictures follow one another";
    expectedOffset += entry.bytes;
    entries.push_back(entry);
  }
  EXPECT_EQ(expectedOffset, ico.size());
  return entries;
}

// A DIB picture of an icon: header fields, and the size of colour rows plus mask rows.
void ExpectIconDib(const Bytes& ico, const IconEntry& entry) {
  const std::size_t at = entry.offset;
  const std::uint32_t maskRow = (entry.size + 31) / 32 * 4;
  EXPECT_EQ(U32(ico, at), 40u);
  EXPECT_EQ(U32(ico, at + 4), static_cast<std::uint32_t>(entry.size));
  EXPECT_EQ(U32(ico, at + 8), static_cast<std::uint32_t>(2 * entry.size));
  EXPECT_EQ(U16(ico, at + 14), 32u);
  EXPECT_EQ(U32(ico, at + 20), entry.size * (entry.size * 4 + maskRow));
  EXPECT_EQ(entry.bytes, 40 + U32(ico, at + 20));
}

TEST(WindowPictures, BannerIsA24BitBmpOfTheSkyTerrainAndUnderlineWithoutTheWordMark) {
  const Bytes bmp = EncodeBmp(DrawBannerPicture());
  const std::uint32_t rowBytes = (415 * 3 + 3) / 4 * 4;
  ASSERT_EQ(bmp.size(), 54u + rowBytes * 70);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(U32(bmp, 2), bmp.size());
  EXPECT_EQ(U32(bmp, 10), 54u);
  EXPECT_EQ(U32(bmp, 18), 415u);
  EXPECT_EQ(U32(bmp, 22), 70u);
  EXPECT_EQ(U16(bmp, 28), 24u);
  EXPECT_EQ(U32(bmp, 34), rowBytes * 70);
  // Pixel (x, y) from the top, as B, G, R of a bottom-up file.
  const auto pixel = [&](int x, int y) {
    const std::size_t at = 54 + (69 - y) * rowBytes + x * 3;
    return Bytes{bmp[at + 2], bmp[at + 1], bmp[at]};
  };
  EXPECT_EQ(pixel(0, 0), (Bytes{236, 243, 252}));
  // Where the word mark stands in the Qt banner there is only sky, even along each row.
  for (int y = 14; y < 46; ++y) {
    for (int x = 28; x < 180; ++x) ASSERT_EQ(pixel(x, y), pixel(0, y)) << x << "," << y;
  }
  // The line under the word mark is a blend of its blue over the sky.
  EXPECT_LT(pixel(100, 47)[0], pixel(100, 46)[0] - 60);
  // Terrain at the bottom right corner, the first rhomb pale blue and its left neighbour land;
  // sky at the bottom left.
  EXPECT_EQ(pixel(410, 66), (Bytes{196, 214, 232}));
  EXPECT_EQ(pixel(387, 66), (Bytes{194, 194, 160}));
  EXPECT_GE(pixel(0, 69)[0], 251) << "pale sky";
}

// The banners for 144 and 192 dpi are drawn anew at their size, with the windows' rounding, and
// show the same scene as the 96-dpi one at the same places.
TEST(WindowPictures, BannersForHigherResolutionsAreTheSameSceneDrawnLarger) {
  const RgbaImage base = DrawBannerPicture(96);
  const auto rgb = [](const RgbaImage& image, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 4;
    return Bytes{image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
  };
  for (const auto& [dpi, width, height] : {std::tuple{144, 623, 105}, std::tuple{192, 830, 140}}) {
    const RgbaImage large = DrawBannerPicture(dpi);
    ASSERT_EQ(large.width, width) << dpi;
    ASSERT_EQ(large.height, height) << dpi;
    const double scale = dpi / 96.0;
    const auto at = [&](int x, int y) {
      return rgb(large, static_cast<int>((x + 0.5) * scale), static_cast<int>((y + 0.5) * scale));
    };
    EXPECT_EQ(at(0, 0), rgb(base, 0, 0)) << dpi;
    EXPECT_EQ(at(410, 66), rgb(base, 410, 66)) << dpi << ": the first rhomb";
    EXPECT_EQ(at(387, 66), rgb(base, 387, 66)) << dpi << ": its land neighbour";
    // The underline is as dark as at 96 dpi, not a smear over two rows.
    EXPECT_LT(at(100, 47)[0], at(100, 46)[0] - 60) << dpi;
  }
}

TEST(WindowPictures, MapRowIconsOfEachSizeShowTheLandPatchInTheMiddle) {
  for (const int size : kMapRowIconSizes) {
    const RgbaImage icon = DrawMapRowIcon(size);
    ASSERT_EQ(icon.width, size);
    ASSERT_EQ(icon.height, size);
    const std::size_t middle = (static_cast<std::size_t>(size / 2) * size + size / 2) * 4;
    EXPECT_EQ((Bytes{icon.pixels[middle], icon.pixels[middle + 1], icon.pixels[middle + 2], icon.pixels[middle + 3]}),
              (Bytes{150, 196, 130, 255}))
        << size;
    EXPECT_EQ(icon.pixels[3], 0) << size << ": the top left corner is transparent";
  }
  const Bytes ico = EncodeIco({{16, EncodeIconDib(DrawMapRowIcon(16))}, {24, EncodeIconDib(DrawMapRowIcon(24))}});
  const std::vector<IconEntry> entries = ReadIconDirectory(ico);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].size, 24);
  ExpectIconDib(ico, entries[1]);
}

TEST(WindowPictures, MapRowIconIsOneTransparentDibWithItsMask) {
  const Bytes ico = EncodeIco({{16, EncodeIconDib(DrawMapRowIcon())}});
  const std::vector<IconEntry> entries = ReadIconDirectory(ico);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].size, 16);
  ExpectIconDib(ico, entries[0]);
  // Bottom-up rows: the top row is the last colour row, and is transparent with its mask bits set.
  const std::size_t colours = entries[0].offset + 40, mask = colours + 16 * 16 * 4;
  EXPECT_EQ(ico[colours + 15 * 64 + 3], 0);
  EXPECT_EQ(ico[mask + 15 * 4], 0xFF);
  // The land patch in the middle (8, 8) is opaque green, its mask bit clear.
  const std::size_t middle = colours + (15 - 8) * 64 + 8 * 4;
  EXPECT_EQ((Bytes{ico[middle + 2], ico[middle + 1], ico[middle], ico[middle + 3]}), (Bytes{150, 196, 130, 255}));
  EXPECT_EQ(ico[mask + (15 - 8) * 4 + 1] & 0x80, 0);
}

TEST(WindowPictures, ProgramIconHoldsDibsUpTo48AndAPngAt256) {
  const Bytes ico = ProgramIconFile();
  const std::vector<IconEntry> entries = ReadIconDirectory(ico);
  ASSERT_EQ(entries.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(entries[i].size, kProgramIconDibSizes[i]);
    ExpectIconDib(ico, entries[i]);
  }
  EXPECT_EQ(entries[3].size, 256);
  const Bytes pngStart(ico.begin() + entries[3].offset, ico.begin() + entries[3].offset + 24);
  EXPECT_EQ(Bytes(pngStart.begin(), pngStart.begin() + 4), (Bytes{0x89, 'P', 'N', 'G'}));
  EXPECT_EQ(pngStart[18] << 8 | pngStart[19], 256) << "IHDR width";
  // The 32-pixel DIB holds the drawn icon: its rounded corner transparent, its middle opaque.
  const RgbaImage drawn = ProgramIconImage(32);
  const std::size_t colours = entries[1].offset + 40;
  EXPECT_EQ(ico[colours + 31 * 128 + 3], 0);
  const std::size_t middle = colours + (31 - 16) * 128 + 16 * 4;
  const std::size_t drawnMiddle = (16 * 32 + 16) * 4;
  EXPECT_EQ((Bytes{ico[middle + 2], ico[middle + 1], ico[middle], ico[middle + 3]}),
            Bytes(drawn.pixels.begin() + drawnMiddle, drawn.pixels.begin() + drawnMiddle + 4));
  EXPECT_EQ(ico[middle + 3], 255);
}

}  // namespace
}  // namespace kartwerk::tools

#include "desktop/program_icon.hpp"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace kartwerk::desktop {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

// The picture is drawn for 48 pixels; every measure scales with the size n.
Pixel IconPixel(int x, int y, int n) {
  const int corner = n / 6;
  // Rounded corners: outside the quarter circles the icon is transparent.
  const int cx = x < corner ? corner - x : (x >= n - corner ? x - (n - corner - 1) : 0);
  const int cy = y < corner ? corner - y : (y >= n - corner ? y - (n - corner - 1) : 0);
  if (cx * cx + cy * cy > corner * corner) return {0, 0, 0, 0};
  if (x == 0 || y == 0 || x == n - 1 || y == n - 1) return {20, 50, 80, 255};

  // The rhomb: |dx| + |dy| within the radius around the centre.
  const int dx = std::abs(2 * x + 1 - n);
  const int dy = std::abs(2 * y + 1 - n);
  const int distance = dx + dy;
  const int radius = 19 * n / 24;
  const int shore = std::max(3, n / 16);
  const int cell = std::max(4, n / 6);
  const int waves = std::max(5, 11 * n / 48);
  if (distance <= radius) {
    if (distance > radius - shore) return {150, 120, 70, 255};  // the shore
    // The editor's cell grid across the land.
    if ((x + y) % cell == 0 || (x - y + n) % cell == 0) return {70, 130, 50, 255};
    return {95, 165, 65, 255};
  }
  const std::uint8_t wave = ((x + 2 * y) % waves == 0) ? 30 : 0;
  return {static_cast<std::uint8_t>(40 + wave), static_cast<std::uint8_t>(100 + wave), 170, 255};
}

void PutU32BigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view type, const std::vector<std::uint8_t>& data) {
  PutU32BigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeStart = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + typeStart, static_cast<uInt>(out.size() - typeStart));
  PutU32BigEndian(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<std::uint8_t> ProgramIconPng(int n) {
  if (n < 16 || n > 1024) throw std::invalid_argument("The program icon is drawn from 16 to 1024 pixels");
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(n) * (n * 4 + 1));
  for (int y = 0; y < n; ++y) {
    raw.push_back(0);  // filter type None
    for (int x = 0; x < n; ++x) {
      const Pixel p = IconPixel(x, y, n);
      raw.insert(raw.end(), p.begin(), p.end());
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) {
    throw std::runtime_error("Cannot compress the program icon");
  }
  packed.resize(packedSize);

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutU32BigEndian(header, static_cast<std::uint32_t>(n));
  PutU32BigEndian(header, static_cast<std::uint32_t>(n));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits per channel, RGBA, deflate, no filter set, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace kartwerk::desktop

// "mines" and "locations": a mission's grid sections placed into the editor's 512 x 512 grid.
#include "convert/writers/mission_grid_files.hpp"

#include <algorithm>
#include <cstring>

#include "convert/writers/mission_file_io.hpp"
#include "core/errors.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::writers {
namespace {

// Calls put(gridRow, firstColumn, source, count) for every row of the rectangle that reaches
// the grid, top to bottom, with the bytes of the row that fall on it; reads every row of the
// rectangle from the stream (a row the container does not hold whole is a read error).
template <class PutRow>
void PlaceRows(core::ByteStream& stream, const format::MissionRectangle& rect, PutRow&& put) {
  // A rectangle without cells copies nothing (and a row count is never looped over without rows to read).
  if (rect.width <= 0 || rect.height <= 0) return;
  const std::int64_t width = rect.width;
  // The columns of every row that fall on the grid.
  const std::int64_t firstColumn = std::max<std::int64_t>(rect.x0, 0);
  const std::int64_t endColumn = std::min<std::int64_t>(std::int64_t{rect.x0} + width, kMissionGridSide);
  for (std::int64_t row = 0; row < rect.height; ++row) {
    if (stream.Remaining() < width) throw core::StreamReadError();
    const std::int64_t gridRow = std::int64_t{rect.y0} + row;
    if (gridRow >= 0 && gridRow < kMissionGridSide && firstColumn < endColumn) {
      const std::uint8_t* source = stream.bytes().data() + stream.position() + (firstColumn - rect.x0);
      put(static_cast<std::size_t>(gridRow), static_cast<std::size_t>(firstColumn), source,
          static_cast<std::size_t>(endColumn - firstColumn));
    }
    stream.Skip(width);
  }
}

void WriteGridFile(format::Conversion& c, format::Section section, std::string_view name) {
  const auto path = DiscardMissionFile(c, name);
  c.Seek(section);
  core::ByteStream& stream = c.MissionStream;
  const format::MissionRectangle& r = c.MissionRect;
  platform::OutputFile out(path, c.Output, c.Written);
  // A mission that covers the whole grid stores it as it is: written from the container.
  if (r.x0 == 0 && r.y0 == 0 && r.width == kMissionGridSide && r.height == kMissionGridSide &&
      stream.Remaining() >= static_cast<std::int64_t>(kMissionGridBytes)) {
    out.Append(stream.bytes().subspan(static_cast<std::size_t>(stream.position()), kMissionGridBytes));
    out.Commit();
    stream.Skip(static_cast<std::int64_t>(kMissionGridBytes));
    return;
  }
  // Any other rectangle is written row by row, the cells it leaves empty as zeros.
  constexpr std::size_t kRow = kMissionGridSide;
  std::size_t written = 0;  // grid rows already in the file
  // The next grid row, cleared, in the file's buffer; Advance(kRow) hands it over.
  const auto nextRow = [&] {
    std::uint8_t* row = out.ByteRoom(kRow);
    std::memset(row, 0, kRow);
    return row;
  };
  const auto emptyRowsUpTo = [&](std::size_t end) {
    for (; written < end; ++written) {
      nextRow();
      out.Advance(kRow);
    }
  };
  PlaceRows(stream, r,
            [&](std::size_t gridRow, std::size_t firstColumn, const std::uint8_t* source, std::size_t count) {
              emptyRowsUpTo(gridRow);
              std::memcpy(nextRow() + firstColumn, source, count);
              out.Advance(kRow);
              ++written;
            });
  emptyRowsUpTo(kRow);
  out.Commit();
}

}  // namespace

bool FitsMissionGrid(const format::MissionRectangle& r) {
  if (r.x0 < 0 || r.y0 < 0 || r.width < 0 || r.height < 0) return false;
  return std::int64_t{r.x0} + r.width <= kMissionGridSide && std::int64_t{r.y0} + r.height <= kMissionGridSide;
}

core::Bytes PlaceOnMissionGrid(core::ByteStream& stream, const format::MissionRectangle& rect) {
  core::Bytes grid(kMissionGridBytes, 0);
  PlaceRows(stream, rect,
            [&](std::size_t gridRow, std::size_t firstColumn, const std::uint8_t* source, std::size_t count) {
              std::memcpy(grid.data() + gridRow * kMissionGridSide + firstColumn, source, count);
            });
  return grid;
}

void WriteMinesFile(format::Conversion& c) { WriteGridFile(c, format::Section::Mines, "mines"); }

void WriteLocationsFile(format::Conversion& c) { WriteGridFile(c, format::Section::Locations, "locations"); }

}  // namespace kartwerk::writers

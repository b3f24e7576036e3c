#include "compare/change_picture.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "compare/legend_font.hpp"
#include "preview/render_map_picture.hpp"

namespace kartwerk::compare {
namespace {

constexpr int kCellUnits = 32;  // position units per cell
constexpr preview::Rgb kOutline{0, 0, 0};
constexpr preview::Rgb kLegendGround{40, 40, 40};
constexpr preview::Rgb kLegendText{235, 235, 235};
constexpr int kLegendFontSize = 2;
constexpr int kLegendRow = 22;
constexpr int kLegendRows = 4;
constexpr int kLegendWidth = 220;

std::string MissionOf(const std::string& fileName) {
  const std::size_t slash = fileName.find('/');
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash);
}

std::string BaseOf(const std::string& fileName) { return fileName.substr(fileName.rfind('/') + 1); }

const preview::MissionPreview* ChosenMission(const preview::MapPreview& map, const FolderComparison& comparison,
                                             int number) {
  if (number < 0 || number > static_cast<int>(map.missions.size()))
    throw std::invalid_argument("there is no mission " + std::to_string(number) + "; the map has " +
                                std::to_string(map.missions.size()));
  if (number > 0) return &map.missions[static_cast<std::size_t>(number - 1)];
  const auto changed = ChangedMissions(map, comparison);
  if (!changed.empty()) return &map.missions[static_cast<std::size_t>(changed.front() - 1)];
  return map.missions.empty() ? nullptr : &map.missions.front();
}

// Cells of the map that changed in the slot's grids and in the drawn mission's: they share the
// map's cell coordinates.
std::vector<bool> ChangedCells(const preview::MapPreview& map, const FolderComparison& comparison,
                               const preview::MissionPreview* mission) {
  const std::int64_t width = map.width(), height = map.height();
  std::vector<bool> cells(static_cast<std::size_t>(width * height), false);
  for (const FileComparison& file : comparison.files) {
    if (!file.grid || file.grid->cells == 0) continue;
    const std::string of = MissionOf(file.name);
    if (!of.empty() && (!mission || of != mission->name)) continue;
    const GridChange& grid = *file.grid;
    for (std::int64_t y = grid.top; y <= grid.bottom && y < height; ++y) {
      for (std::int64_t x = grid.left; x <= grid.right && x < width; ++x) {
        const auto at = static_cast<std::size_t>(y * grid.columns + x);
        if (at < grid.changed.size() && grid.changed[at]) cells[static_cast<std::size_t>(y * width + x)] = true;
      }
    }
  }
  return cells;
}

void OutlineCells(preview::Picture& picture, const preview::MapPreview& map, const std::vector<bool>& cells,
                  int scale) {
  const std::int64_t width = map.width(), height = map.height();
  const int t = std::max(1, scale / 4);
  const auto changed = [&](std::int64_t x, std::int64_t y) {
    return x >= 0 && y >= 0 && x < width && y < height && cells[static_cast<std::size_t>(y * width + x)];
  };
  for (std::int64_t y = 0; y < height; ++y) {
    for (std::int64_t x = 0; x < width; ++x) {
      if (!changed(x, y)) continue;
      const int px = static_cast<int>(x * scale), py = static_cast<int>(y * scale);
      if (!changed(x, y - 1)) picture.FillRect(px, py, scale, t, kChangedCells);
      if (!changed(x, y + 1)) picture.FillRect(px, py + scale - t, scale, t, kChangedCells);
      if (!changed(x - 1, y)) picture.FillRect(px, py, t, scale, kChangedCells);
      if (!changed(x + 1, y)) picture.FillRect(px + scale - t, py, t, scale, kChangedCells);
    }
  }
}

void Dot(preview::Picture& picture, int x, int y, int size, preview::Rgb colour) {
  picture.FillRect(x - size / 2, y - size / 2, size, size, colour);
}

void Line(preview::Picture& picture, int x0, int y0, int x1, int y1, int size, preview::Rgb colour) {
  const int steps = std::max({std::abs(x1 - x0), std::abs(y1 - y0), 1});
  for (int i = 0; i <= steps; ++i) Dot(picture, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, size, colour);
}

// Each mark is its colour over a black rim, so that it stands out on any ground.
void Plus(preview::Picture& picture, int x, int y, int r) {
  Line(picture, x - r, y, x + r, y, 5, kOutline);
  Line(picture, x, y - r, x, y + r, 5, kOutline);
  Line(picture, x - r + 1, y, x + r - 1, y, 3, kAddedMark);
  Line(picture, x, y - r + 1, x, y + r - 1, 3, kAddedMark);
}

void Cross(preview::Picture& picture, int x, int y, int r) {
  Line(picture, x - r, y - r, x + r, y + r, 5, kOutline);
  Line(picture, x - r, y + r, x + r, y - r, 5, kOutline);
  Line(picture, x - r + 1, y - r + 1, x + r - 1, y + r - 1, 3, kRemovedMark);
  Line(picture, x - r + 1, y + r - 1, x + r - 1, y - r + 1, 3, kRemovedMark);
}

void Ring(preview::Picture& picture, int x, int y, int r) {
  constexpr int kSteps = 48;
  for (const auto& [size, colour] : std::array<std::pair<int, preview::Rgb>, 2>{{{5, kOutline}, {3, kMovedMark}}}) {
    for (int i = 0; i < kSteps; ++i) {
      const double a = 2 * 3.14159265358979 * i / kSteps;
      Dot(picture, x + static_cast<int>(std::lround(r * std::cos(a))),
          y + static_cast<int>(std::lround(r * std::sin(a))), size, colour);
    }
  }
}

int Pixel(std::int64_t units, int scale) { return static_cast<int>(units * scale / kCellUnits); }

void MarkUnits(preview::Picture& picture, const FolderComparison& comparison, const preview::MissionPreview* mission,
               int scale) {
  const int r = std::max(8, scale);
  for (const FileComparison& file : comparison.files) {
    if (BaseOf(file.name) != "mapunits" || (mission && MissionOf(file.name) != mission->name)) continue;
    for (const EntryChange& change : file.entries) {
      if (change.kind == EntryChange::Kind::Added && change.to) {
        Plus(picture, Pixel(change.to->x, scale), Pixel(change.to->y, scale), r);
      } else if (change.kind == EntryChange::Kind::Removed && change.from) {
        Cross(picture, Pixel(change.from->x, scale), Pixel(change.from->y, scale), r);
      } else if (change.Moved()) {
        const int x0 = Pixel(change.from->x, scale), y0 = Pixel(change.from->y, scale);
        const int x1 = Pixel(change.to->x, scale), y1 = Pixel(change.to->y, scale);
        Line(picture, x0, y0, x1, y1, 4, kOutline);
        Line(picture, x0, y0, x1, y1, 2, kMovedMark);
        Dot(picture, x0, y0, 5, kMovedMark);
        Ring(picture, x1, y1, r);
      }
    }
  }
}

void DrawLegend(preview::Picture& picture, int top) {
  picture.FillRect(0, top, picture.width(), ChangeLegendHeight(), kLegendGround);
  const int textTop = (kLegendRow - kGlyphHeight * kLegendFontSize) / 2;
  const int iconX = 14;
  for (int row = 0; row < kLegendRows; ++row) {
    const int y = top + row * kLegendRow + kLegendRow / 2;
    const char* words = "";
    switch (row) {
      case 0:
        Plus(picture, iconX, y, 6);
        words = "added";
        break;
      case 1:
        Cross(picture, iconX, y, 6);
        words = "removed";
        break;
      case 2:
        Ring(picture, iconX, y, 6);
        words = "moved";
        break;
      default:
        picture.FillRect(iconX - 7, y - 7, 14, 14, kChangedCells);
        picture.FillRect(iconX - 5, y - 5, 10, 10, kLegendGround);
        words = "changed cells";
        break;
    }
    DrawLegendText(picture, iconX + 16, top + row * kLegendRow + textTop, words, kLegendFontSize, kLegendText);
  }
}

}  // namespace

int ChangeLegendHeight() { return kLegendRows * kLegendRow + 4; }

std::vector<int> ChangedMissions(const preview::MapPreview& map, const FolderComparison& comparison) {
  std::vector<int> numbers;
  for (std::size_t m = 0; m < map.missions.size(); ++m) {
    for (const FileComparison& file : comparison.files) {
      if (file.state != FileState::Same && MissionOf(file.name) == map.missions[m].name) {
        numbers.push_back(static_cast<int>(m) + 1);
        break;
      }
    }
  }
  return numbers;
}

preview::Picture RenderChangePicture(const preview::MapPreview& map, const FolderComparison& comparison, int scale,
                                     int number) {
  const preview::MissionPreview* mission = ChosenMission(map, comparison, number);
  const preview::Picture base = preview::RenderMapPicture(map, mission, scale);
  preview::Picture picture(std::max(base.width(), kLegendWidth), base.height() + ChangeLegendHeight(), kLegendGround);
  for (int y = 0; y < base.height(); ++y)
    for (int x = 0; x < base.width(); ++x) picture.Set(x, y, base.At(x, y));
  OutlineCells(picture, map, ChangedCells(map, comparison, mission), scale);
  MarkUnits(picture, comparison, mission, scale);
  // Marks near the bottom edge must not run into the legend.
  DrawLegend(picture, base.height());
  return picture;
}

}  // namespace kartwerk::compare

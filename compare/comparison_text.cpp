#include "compare/comparison_text.hpp"

#include <array>

#include "core/cp1252.hpp"
#include "core/shown_text.hpp"

namespace kartwerk {
namespace {

std::string PlaceText(const Position& at) { return std::to_string(at.x) + "," + std::to_string(at.y); }

// A text of the editor's files (Windows-1252) as a terminal shows it, a line end inside it included.
std::string Shown(const std::string& editorText) { return ShownText(Cp1252ToUtf8(editorText)); }

}  // namespace

std::string EntryChangeText(const EntryChange& change) {
  switch (change.kind) {
    case EntryChange::Kind::Added:
      return "added " + change.entry + (change.to ? " at " + PlaceText(*change.to) : std::string());
    case EntryChange::Kind::Removed:
      return "removed " + change.entry + (change.from ? " at " + PlaceText(*change.from) : std::string());
    case EntryChange::Kind::Changed: break;
  }
  std::string text = change.entry + ":";
  const char* separator = " ";
  for (const FieldChange& field : change.fields) {
    text += separator + field.field + " " + field.from + " -> " + field.to;
    separator = ", ";
  }
  if (change.Moved())
    text += std::string(separator) + "moved from " + PlaceText(*change.from) + " to " + PlaceText(*change.to);
  return text;
}

std::string GridChangeText(const GridChange& grid) {
  if (grid.cells == 0) return "no cell changed";
  return std::to_string(grid.cells) + (grid.cells == 1 ? " cell" : " cells") + " changed in columns " +
         std::to_string(grid.left) + " to " + std::to_string(grid.right) + ", rows " + std::to_string(grid.top) +
         " to " + std::to_string(grid.bottom);
}

std::string ComparisonText(const FolderComparison& comparison) {
  std::string text;
  std::array<std::size_t, 4> counts{};
  for (const FileComparison& file : comparison.files) {
    ++counts[static_cast<std::size_t>(file.state)];
    if (file.state == FileState::Same) continue;
    // File names are the folder's (paths); everything else comes from inside the files.
    text += ShownText(file.name) + ": " + FileStateText(file.state);
    if (!file.note.empty()) text += " (" + ShownText(file.note) + ")";
    text += "\n";
    for (const EntryChange& change : file.entries) text += "  " + Shown(EntryChangeText(change)) + "\n";
    if (file.grid && file.grid->cells > 0) text += "  " + GridChangeText(*file.grid) + "\n";
    for (const FieldChange& key : file.keys) text += "  " + Shown(key.field + ": " + key.from + " -> " + key.to) + "\n";
    for (const std::string& line : file.lines) text += "    " + Shown(line) + "\n";
  }
  const std::size_t total = comparison.files.size();
  if (counts[0] == total) return "same (" + std::to_string(total) + " files)\n";
  text += std::to_string(counts[0]) + " same, " + std::to_string(counts[1]) + " changed, " + std::to_string(counts[2]) +
          " only in the folder, " + std::to_string(counts[3]) + " only in the map\n";
  return text;
}

}  // namespace kartwerk

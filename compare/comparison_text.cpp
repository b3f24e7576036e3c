#include "compare/comparison_text.hpp"

#include <array>

#include "compare/list_entries.hpp"
#include "core/cp1252.hpp"
#include "core/shown_text.hpp"

namespace kartwerk::compare {
namespace {

std::string PlaceText(const Position& at) { return std::to_string(at.x) + "," + std::to_string(at.y); }

std::string FieldText(const FieldChange& field) {
  switch (field.edit) {
    case FieldChange::Edit::Added: return field.field + " added " + field.to;
    case FieldChange::Edit::Removed: return field.field + " removed " + field.from;
    case FieldChange::Edit::Changed: break;
  }
  return field.field + " " + field.from + " -> " + field.to;
}

// "3,998".
std::string Count(std::size_t n) {
  const std::string digits = std::to_string(n);
  std::string text;
  for (std::size_t k = 0; k < digits.size(); ++k) {
    if (k > 0 && (digits.size() - k) % 3 == 0) text += ',';
    text += digits[k];
  }
  return text;
}

enum class Sort { Moved, Changed, Added, Removed, Renamed, Reordered };
constexpr std::array<const char*, 6> kSortWords = {"moved", "changed", "added", "removed", "renamed", "reordered"};

Sort SortOf(const EntryChange& change) {
  switch (change.kind) {
    case EntryChange::Kind::Added: return Sort::Added;
    case EntryChange::Kind::Removed: return Sort::Removed;
    case EntryChange::Kind::Renamed: return Sort::Renamed;
    case EntryChange::Kind::Reordered: return Sort::Reordered;
    case EntryChange::Kind::Changed: break;
  }
  return change.fields.empty() && change.Moved() ? Sort::Moved : Sort::Changed;
}
// A text of the editor's files (Windows-1252) as a terminal shows it, a line end inside it included.
std::string Shown(const std::string& editorText) { return core::ShownText(core::Cp1252ToUtf8(editorText)); }

}  // namespace

std::string EntryChangeText(const EntryChange& change) {
  switch (change.kind) {
    case EntryChange::Kind::Added:
      return "added " + change.entry + (change.to ? " at " + PlaceText(*change.to) : std::string());
    case EntryChange::Kind::Removed:
      return "removed " + change.entry + (change.from ? " at " + PlaceText(*change.from) : std::string());
    case EntryChange::Kind::Reordered: return change.entry + ": order changed";
    case EntryChange::Kind::Renamed:
    case EntryChange::Kind::Changed: break;
  }
  std::string text = change.entry;
  const char* separator = ": ";
  if (change.kind == EntryChange::Kind::Renamed) {
    text += " renamed " + change.newName;
    separator = ", ";
  }
  for (const FieldChange& field : change.fields) {
    text += separator + FieldText(field);
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

std::string EntrySummaryText(const std::vector<EntryChange>& entries, const std::string& noun) {
  std::array<std::size_t, kSortWords.size()> counts{};
  for (const EntryChange& change : entries) ++counts[static_cast<std::size_t>(SortOf(change))];
  std::string text;
  for (std::size_t k = 0; k < counts.size(); ++k) {
    if (counts[k] == 0) continue;
    if (text.empty()) {
      text = Count(counts[k]) + " " + noun + " " + kSortWords[k];
    } else {
      text += ", " + Count(counts[k]) + " " + kSortWords[k];
    }
  }
  return text;
}

std::string ComparisonText(const FolderComparison& comparison, bool all) {
  std::string text;
  std::array<std::size_t, 4> counts{};
  for (const FileComparison& file : comparison.files) {
    ++counts[static_cast<std::size_t>(file.state)];
    if (file.state == FileState::Same) continue;
    // The file's name is UTF-8 already; what the file holds is Windows-1252.
    text += core::ShownText(file.name) + ": " + FileStateText(file.state);
    if (!file.note.empty()) text += " (" + Shown(file.note) + ")";
    text += "\n";
    std::size_t shown = file.entries.size();
    if (!all && shown > kSummaryLimit) {
      shown = kSummaryShown;
      text += "  " + EntrySummaryText(file.entries, PluralOf(ListKindOf(file.name))) + "; the first " +
              std::to_string(shown) + ":\n";
    }
    for (std::size_t k = 0; k < shown; ++k) text += "  " + Shown(EntryChangeText(file.entries[k])) + "\n";
    if (shown < file.entries.size())
      text += "  ... and " + Count(file.entries.size() - shown) + " more (--all lists every one)\n";
    if (file.grid && file.grid->cells > 0) text += "  " + GridChangeText(*file.grid) + "\n";
    for (const FieldChange& key : file.keys) text += "  " + Shown(FieldText(key)) + "\n";
    for (const std::string& line : file.lines) text += "    " + Shown(line) + "\n";
  }
  const std::size_t total = comparison.files.size();
  if (counts[0] == total) return "same (" + std::to_string(total) + " files)\n";
  text += std::to_string(counts[0]) + " same, " + std::to_string(counts[1]) + " changed, " + std::to_string(counts[2]) +
          " only in the folder, " + std::to_string(counts[3]) + " only in the map\n";
  return text;
}

}  // namespace kartwerk::compare

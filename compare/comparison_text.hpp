// The comparison in words, for a terminal: each file that differs with what changed in it (a
// summary by kind past kSummaryLimit entries), then a count of the files in each state ("same
// (34 files)" when nothing differs).
#pragma once

#include <cstddef>
#include <string>

#include "compare/file_comparison.hpp"

namespace kartwerk::compare {

// A file with more changed entries than this is summed up: counts by kind and the first few.
inline constexpr std::size_t kSummaryLimit = 50;
inline constexpr std::size_t kSummaryShown = 10;

// "unit 17 'tank_3' (now 16): HP 100 -> 80, moved from 412,96 to 420,96", "added unit 'medic'
// (now 4) at 10,20", "script \"A\" renamed \"B\"", "units: order changed". In the files' own
// bytes (Windows-1252).
std::string EntryChangeText(const EntryChange& change);

// "42 cells changed in columns 10 to 16, rows 4 to 9".
std::string GridChangeText(const GridChange& grid);

// "3,998 units moved, 2 removed" for a file's entries; noun names them ("units").
std::string EntrySummaryText(const std::vector<EntryChange>& entries, const std::string& noun);

// The whole comparison as lines for a terminal, in UTF-8: the files' texts read as Windows-1252,
// every control character inside a name or value written out (ShownText), so each line is one line; all lists every
// entry of every file, however many.
std::string ComparisonText(const FolderComparison& comparison, bool all = false);

}  // namespace kartwerk::compare

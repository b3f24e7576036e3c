// The comparison in words, for a terminal: each file that differs with what changed in it, then
// a count of the files in each state ("same (34 files)" when nothing differs).
#pragma once

#include <string>

#include "compare/file_comparison.hpp"

namespace kartwerk {

// "unit 17 'tank_3': HP 100 -> 80, moved from 412,96 to 420,96", "added unit 4 'medic' at 10,20".
std::string EntryChangeText(const EntryChange& change);

// "42 cells changed in columns 10 to 16, rows 4 to 9".
std::string GridChangeText(const GridChange& grid);

// The whole comparison as lines for a terminal: the files' texts read as Windows-1252, every
// control character inside a name or value written out (ShownText), so each line is one line.
std::string ComparisonText(const FolderComparison& comparison);

}  // namespace kartwerk

#include "compare/file_comparison.hpp"

#include <algorithm>

namespace kartwerk::compare {

const char* FileStateText(FileState state) {
  switch (state) {
    case FileState::Same: return "same";
    case FileState::Changed: return "changed";
    case FileState::OnlyInFolder: return "only in the folder";
    case FileState::OnlyInMap: return "only in the map";
  }
  return "changed";
}

void GridChange::Mark(std::int64_t cell) {
  if (columns <= 0 || cell < 0) return;
  // A file longer than its grid (more records than the map has cells) grows the rows it has.
  if (cell >= std::int64_t{columns} * rows) rows = static_cast<std::int32_t>(cell / columns + 1);
  // Room up to the marked cell only: a header may claim far more cells than the file holds, and
  // the cells marked are bytes that were read.
  if (changed.size() <= static_cast<std::size_t>(cell)) changed.resize(static_cast<std::size_t>(cell) + 1, false);
  if (changed[static_cast<std::size_t>(cell)]) return;
  changed[static_cast<std::size_t>(cell)] = true;
  const auto x = static_cast<std::int32_t>(cell % columns), y = static_cast<std::int32_t>(cell / columns);
  if (cells == 0) {
    left = right = x;
    top = bottom = y;
  } else {
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  ++cells;
}

bool FolderComparison::AllSame() const {
  return std::all_of(files.begin(), files.end(), [](const FileComparison& f) { return f.state == FileState::Same; });
}

}  // namespace kartwerk::compare

// Checks shared by the two rhomb suites: a scheme's tables must give every 16-bit tile code
// exactly one class and exactly one shape, whatever the converter then does with them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>

#include "convert/records/rhomb_scheme.hpp"

namespace kartwerk::testing {

inline int CountClassRows(const records::RhombScheme& scheme, std::uint16_t code) {
  int rows = 0;
  for (const records::TileClassRow& row : scheme.classes) rows += row.codes.Holds(code) ? 1 : 0;
  return rows;
}

// Cells listing the code, in any class column.
inline int CountShapeCells(const records::RhombScheme& scheme, std::uint16_t code, int onlyClass = -1) {
  int cells = 0;
  for (const records::ShapeCell& cell : scheme.shapes) {
    if (onlyClass >= 0 && cell.tileClass != onlyClass) continue;
    for (std::uint16_t listed : cell.codes) cells += (listed != 0 && listed == code) ? 1 : 0;
  }
  return cells;
}

// Walks all 65536 codes through the tables and the converter.
inline void ExpectEveryCodeClassifiedOnce(
    const records::RhombScheme& scheme, const std::set<int>& classes,
    const std::function<records::EditorRhomb(const records::CompiledRhomb&)>& convert) {
  int failures = 0;
  for (std::uint32_t c = 0; c <= 0xFFFF && failures < 10; ++c) {
    const auto code = static_cast<std::uint16_t>(c);
    const int rows = CountClassRows(scheme, code);
    if (rows != 1) {
      ADD_FAILURE() << "code " << c << " lies in " << rows << " class rows";
      ++failures;
      continue;
    }
    const records::TileClassRow* row = records::FindTileClass(scheme, code);
    const bool plain = records::IsPlainCode(*row, code);
    const int ownCells = CountShapeCells(scheme, code, row->tileClass);
    const int allCells = CountShapeCells(scheme, code);
    const records::EditorRhomb out = convert(records::CompiledRhomb{code, 0});
    bool ok = classes.count(out.tileClass) == 1 && out.tileClass == row->tileClass && out.tileCode == code;
    if (plain) {
      ok = ok && allCells == 0 && out.shape == 0;
    } else {
      ok = ok && ownCells == 1 && allCells == 1 && out.shape >= 1 && out.shape <= 12;
    }
    if (!ok) {
      ADD_FAILURE() << "code " << c << ": class " << int(out.tileClass) << " shape " << out.shape
                    << (plain ? " (plain)" : " (transition)") << ", listed in " << ownCells << " of its own cells and "
                    << allCells << " cells in all";
      ++failures;
    }
  }
}

}  // namespace kartwerk::testing

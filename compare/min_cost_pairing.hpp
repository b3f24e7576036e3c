// Pairs the entries of two versions of a list that stand on the map (units, sounds, objects):
// entries identical in both first, then, among those of one type, the pairing of least total
// cost by place and fields, where a pair that would cost more than a removal and an addition is
// left unpaired; last, an entry left alone on each side with the same type and fields, however
// far it moved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "compare/list_entries.hpp"

namespace kartwerk::compare {

// How far an entry may have moved and still be the same one, in position units (32 per cell).
inline constexpr std::int64_t kMaxMoveDistance = 8 * 32;
// What each field that differs adds to a pair's cost, in position units.
inline constexpr std::int64_t kFieldChangeCost = 96;
// What an entry left unpaired costs: a pair is made when it costs less than two of these.
inline constexpr std::int64_t kUnpairedCost = kMaxMoveDistance;
// Entries of one type close enough to be confused are paired exactly when each side of such a
// cluster has at most this many; a larger cluster is paired nearest first (and said so).
inline constexpr std::size_t kMaxExactCluster = 150;

// The least-cost assignment of rows to columns (rows <= columns) of a row-major cost matrix:
// the column of each row. The Hungarian method, O(rows^2 * columns).
std::vector<std::size_t> MinCostAssignment(const std::vector<std::int64_t>& cost, std::size_t rows,
                                           std::size_t columns);

struct PlacedPairing {
  std::vector<int> mapPartner;     // the folder entry of each map entry, or -1
  std::vector<int> folderPartner;  // the map entry of each folder entry, or -1
  std::size_t approximated = 0;    // entries in clusters paired nearest first
};

PlacedPairing PairPlacedEntries(const std::vector<ListEntry>& mapEntries, const std::vector<ListEntry>& folderEntries);

}  // namespace kartwerk::compare

#include "compare/min_cost_pairing.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <string_view>
#include <tuple>
#include <unordered_map>

namespace kartwerk::compare {
namespace {

// Costs are scaled so that the distance between two lists' numbers of an entry breaks a tie
// between equally good pairs: identical entries keep their order.
constexpr std::int64_t kTieScale = 4096;
constexpr std::int64_t kPairLimit = 2 * kUnpairedCost * kTieScale;

std::size_t DifferingFields(const Fields& a, const Fields& b) {
  std::size_t count = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  for (std::size_t k = 0; k < std::min(a.size(), b.size()); ++k) count += a[k] != b[k];
  return count;
}

// The cost of pairing two entries of one type; none when one moved too far to be the other.
std::optional<std::int64_t> PairCost(const ListEntry& a, std::size_t i, const ListEntry& b, std::size_t j) {
  const double dx = static_cast<double>(a.at->x - b.at->x), dy = static_cast<double>(a.at->y - b.at->y);
  const auto distance = static_cast<std::int64_t>(std::llround(std::sqrt(dx * dx + dy * dy)));
  if (distance > kMaxMoveDistance) return std::nullopt;
  const auto order = static_cast<std::int64_t>(i > j ? i - j : j - i);
  const std::int64_t cost =
      (distance + kFieldChangeCost * static_cast<std::int64_t>(DifferingFields(a.fields, b.fields))) * kTieScale +
      std::min<std::int64_t>(order, kTieScale - 1);
  if (cost >= kPairLimit) return std::nullopt;
  return cost;
}

struct Edge {
  std::size_t i, j;
  std::int64_t cost;
};

class Components {
 public:
  explicit Components(std::size_t n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), std::size_t{0}); }
  std::size_t Root(std::size_t x) {
    while (parent_[x] != x) x = parent_[x] = parent_[parent_[x]];
    return x;
  }
  void Join(std::size_t a, std::size_t b) { parent_[Root(a)] = Root(b); }

 private:
  std::vector<std::size_t> parent_;
};

void Pair(PlacedPairing& p, std::size_t i, std::size_t j) {
  p.mapPartner[i] = static_cast<int>(j);
  p.folderPartner[j] = static_cast<int>(i);
}

// Entries whose whole text is the same, in list order.
void PairIdentical(const std::vector<ListEntry>& a, const std::vector<ListEntry>& b, PlacedPairing& p) {
  std::unordered_map<std::string_view, std::vector<std::size_t>> open;
  for (std::size_t i = a.size(); i-- > 0;) open[a[i].text].push_back(i);
  for (std::size_t j = 0; j < b.size(); ++j) {
    const auto it = open.find(b[j].text);
    if (it == open.end() || it->second.empty()) continue;
    Pair(p, it->second.back(), j);
    it->second.pop_back();
  }
}

// The candidate pairs: unpaired entries of one type within the move distance of each other,
// found through buckets of that size.
std::vector<Edge> CandidatePairs(const std::vector<ListEntry>& a, const std::vector<ListEntry>& b,
                                 const PlacedPairing& p) {
  using Bucket = std::tuple<std::string_view, std::int64_t, std::int64_t>;
  const auto cell = [](std::int64_t v) {
    return v >= 0 ? v / kMaxMoveDistance : -((-v + kMaxMoveDistance - 1) / kMaxMoveDistance);
  };
  std::map<Bucket, std::vector<std::size_t>> buckets;
  for (std::size_t j = 0; j < b.size(); ++j)
    if (p.folderPartner[j] < 0 && b[j].at) buckets[{b[j].type, cell(b[j].at->x), cell(b[j].at->y)}].push_back(j);
  std::vector<Edge> edges;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (p.mapPartner[i] >= 0 || !a[i].at) continue;
    const std::int64_t cx = cell(a[i].at->x), cy = cell(a[i].at->y);
    for (std::int64_t dy = -1; dy <= 1; ++dy) {
      for (std::int64_t dx = -1; dx <= 1; ++dx) {
        const auto it = buckets.find({a[i].type, cx + dx, cy + dy});
        if (it == buckets.end()) continue;
        for (const std::size_t j : it->second)
          if (const auto cost = PairCost(a[i], i, b[j], j)) edges.push_back({i, j, *cost});
      }
    }
  }
  return edges;
}

// The best pairing of one cluster: rows are its map entries, columns its folder entries and as
// many more for "left unpaired". A pair's cost counts against the two unpaired entries it saves.
void PairCluster(const std::vector<std::size_t>& rows, const std::vector<std::size_t>& columns,
                 const std::vector<Edge>& edges, PlacedPairing& p) {
  const std::size_t width = columns.size() + rows.size();
  std::vector<std::int64_t> cost(rows.size() * width, 0);
  std::map<std::size_t, std::size_t> row, column;
  for (std::size_t r = 0; r < rows.size(); ++r) row[rows[r]] = r;
  for (std::size_t c = 0; c < columns.size(); ++c) column[columns[c]] = c;
  std::vector<bool> edge(rows.size() * width, false);
  for (const Edge& e : edges) {
    const std::size_t at = row[e.i] * width + column[e.j];
    cost[at] = e.cost - kPairLimit;
    edge[at] = true;
  }
  const auto chosen = MinCostAssignment(cost, rows.size(), width);
  for (std::size_t r = 0; r < rows.size(); ++r)
    if (chosen[r] < columns.size() && edge[r * width + chosen[r]]) Pair(p, rows[r], columns[chosen[r]]);
}

// A cluster too large to pair exactly: its cheapest pairs first.
void PairNearestFirst(std::vector<Edge> edges, PlacedPairing& p) {
  std::sort(edges.begin(), edges.end(), [](const Edge& x, const Edge& y) { return x.cost < y.cost; });
  for (const Edge& e : edges)
    if (p.mapPartner[e.i] < 0 && p.folderPartner[e.j] < 0) Pair(p, e.i, e.j);
}

// After the pairing by place: an entry left alone on each side with the same type and fields
// moved further than the move distance; with more than one on a side, which went where is unknown.
void PairFarMoves(const std::vector<ListEntry>& a, const std::vector<ListEntry>& b, PlacedPairing& p) {
  const auto signature = [](const ListEntry& e) {
    std::string text = e.type;
    for (const auto& [key, value] : e.fields) text.append("\n").append(key).append("=").append(value);
    return text;
  };
  std::map<std::string, std::pair<std::vector<std::size_t>, std::vector<std::size_t>>> alone;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (p.mapPartner[i] < 0 && a[i].at) alone[signature(a[i])].first.push_back(i);
  for (std::size_t j = 0; j < b.size(); ++j)
    if (p.folderPartner[j] < 0 && b[j].at) alone[signature(b[j])].second.push_back(j);
  for (const auto& [key, sides] : alone)
    if (sides.first.size() == 1 && sides.second.size() == 1) Pair(p, sides.first[0], sides.second[0]);
}

}  // namespace

std::vector<std::size_t> MinCostAssignment(const std::vector<std::int64_t>& cost, std::size_t rows,
                                           std::size_t columns) {
  constexpr std::int64_t kInfinite = std::numeric_limits<std::int64_t>::max() / 4;
  // Potentials and the matching, 1-based with column 0 as the free start.
  std::vector<std::int64_t> u(rows + 1, 0), v(columns + 1, 0);
  std::vector<std::size_t> match(columns + 1, 0), way(columns + 1, 0);
  for (std::size_t i = 1; i <= rows; ++i) {
    match[0] = i;
    std::size_t j0 = 0;
    std::vector<std::int64_t> least(columns + 1, kInfinite);
    std::vector<bool> used(columns + 1, false);
    do {
      used[j0] = true;
      const std::size_t i0 = match[j0];
      std::int64_t delta = kInfinite;
      std::size_t j1 = 0;
      for (std::size_t j = 1; j <= columns; ++j) {
        if (used[j]) continue;
        const std::int64_t current = cost[(i0 - 1) * columns + (j - 1)] - u[i0] - v[j];
        if (current < least[j]) {
          least[j] = current;
          way[j] = j0;
        }
        if (least[j] < delta) {
          delta = least[j];
          j1 = j;
        }
      }
      for (std::size_t j = 0; j <= columns; ++j) {
        if (used[j]) {
          u[match[j]] += delta;
          v[j] -= delta;
        } else {
          least[j] -= delta;
        }
      }
      j0 = j1;
    } while (match[j0] != 0);
    do {
      const std::size_t j1 = way[j0];
      match[j0] = match[j1];
      j0 = j1;
    } while (j0 != 0);
  }
  std::vector<std::size_t> chosen(rows, 0);
  for (std::size_t j = 1; j <= columns; ++j)
    if (match[j] != 0) chosen[match[j] - 1] = j - 1;
  return chosen;
}

PlacedPairing PairPlacedEntries(const std::vector<ListEntry>& mapEntries, const std::vector<ListEntry>& folderEntries) {
  PlacedPairing p;
  p.mapPartner.assign(mapEntries.size(), -1);
  p.folderPartner.assign(folderEntries.size(), -1);
  PairIdentical(mapEntries, folderEntries, p);
  const std::vector<Edge> edges = CandidatePairs(mapEntries, folderEntries, p);

  // Clusters: map entries (0..n) and folder entries (n..) joined by a candidate pair.
  const std::size_t n = mapEntries.size();
  Components components(n + folderEntries.size());
  for (const Edge& e : edges) components.Join(e.i, n + e.j);
  struct Cluster {
    std::vector<std::size_t> rows, columns;
    std::vector<Edge> edges;
  };
  std::map<std::size_t, Cluster> clusters;
  for (const Edge& e : edges) clusters[components.Root(e.i)].edges.push_back(e);
  for (auto& [root, cluster] : clusters) {
    for (const Edge& e : cluster.edges) {
      cluster.rows.push_back(e.i);
      cluster.columns.push_back(e.j);
    }
    for (auto* list : {&cluster.rows, &cluster.columns}) {
      std::sort(list->begin(), list->end());
      list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    if (cluster.rows.size() > kMaxExactCluster || cluster.columns.size() > kMaxExactCluster) {
      p.approximated += cluster.rows.size() + cluster.columns.size();
      PairNearestFirst(std::move(cluster.edges), p);
    } else {
      PairCluster(cluster.rows, cluster.columns, cluster.edges, p);
    }
  }
  PairFarMoves(mapEntries, folderEntries, p);
  return p;
}

}  // namespace kartwerk::compare

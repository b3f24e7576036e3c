#include "compare/myers_line_diff.hpp"

#include <cstdint>

namespace kartwerk::compare {
namespace {

using Index = std::int64_t;

struct Snake {
  Index x0, y0, x1, y1;  // the diagonal run from (x0, y0) to (x1, y1) in the middle of the path
};

class Differ {
 public:
  Differ(std::span<const std::string_view> a, std::span<const std::string_view> b, std::vector<LineEdit>& out)
      : a_(a), b_(b), out_(out) {}

  void Run(Index a0, Index a1, Index b0, Index b1) {
    while (a0 < a1 && b0 < b1 && a_[At(a0)] == b_[At(b0)]) Keep(a0++, b0++);
    Index tail = 0;
    while (a1 - tail > a0 && b1 - tail > b0 && a_[At(a1 - tail - 1)] == b_[At(b1 - tail - 1)]) ++tail;
    a1 -= tail;
    b1 -= tail;
    if (a0 == a1) {
      for (Index j = b0; j < b1; ++j) out_.push_back({LineEdit::Op::Insert, At(a0), At(j)});
    } else if (b0 == b1) {
      for (Index i = a0; i < a1; ++i) out_.push_back({LineEdit::Op::Delete, At(i), At(b0)});
    } else {
      const Snake s = Middle(a0, a1, b0, b1);
      Run(a0, s.x0, b0, s.y0);
      for (Index k = 0; k < s.x1 - s.x0; ++k) Keep(s.x0 + k, s.y0 + k);
      Run(s.x1, a1, s.y1, b1);
    }
    for (Index k = 0; k < tail; ++k) Keep(a1 + k, b1 + k);
  }

 private:
  static std::size_t At(Index i) { return static_cast<std::size_t>(i); }
  void Keep(Index i, Index j) { out_.push_back({LineEdit::Op::Keep, At(i), At(j)}); }

  // The middle snake of the shortest path through a[a0, a1) and b[b0, b1), both not empty and
  // with neither a common first nor last line: the forward and the backward search meet on it.
  Snake Middle(Index a0, Index a1, Index b0, Index b1) {
    const Index n = a1 - a0, m = b1 - b0, delta = n - m;
    const bool odd = (delta & 1) != 0;
    const Index limit = (n + m + 1) / 2 + 1;
    const Index offset = limit + 1;
    forward_.assign(At(2 * offset + 1), 0);
    backward_.assign(At(2 * offset + 1), 0);
    const auto fa = [&](Index x) { return a_[At(a0 + x)]; };
    const auto fb = [&](Index y) { return b_[At(b0 + y)]; };
    for (Index d = 0; d <= limit; ++d) {
      for (Index k = -d; k <= d; k += 2) {
        Index x = (k == -d || (k != d && forward_[At(offset + k - 1)] < forward_[At(offset + k + 1)]))
                      ? forward_[At(offset + k + 1)]
                      : forward_[At(offset + k - 1)] + 1;
        Index y = x - k;
        const Index sx = x, sy = y;
        while (x < n && y < m && fa(x) == fb(y)) ++x, ++y;
        forward_[At(offset + k)] = x;
        const Index c = delta - k;  // the same diagonal counted from the ends
        if (odd && c >= -(d - 1) && c <= d - 1 && x + backward_[At(offset + c)] >= n)
          return {a0 + sx, b0 + sy, a0 + x, b0 + y};
      }
      for (Index c = -d; c <= d; c += 2) {
        Index x = (c == -d || (c != d && backward_[At(offset + c - 1)] < backward_[At(offset + c + 1)]))
                      ? backward_[At(offset + c + 1)]
                      : backward_[At(offset + c - 1)] + 1;
        Index y = x - c;
        const Index sx = x, sy = y;
        while (x < n && y < m && fa(n - x - 1) == fb(m - y - 1)) ++x, ++y;
        backward_[At(offset + c)] = x;
        const Index k = delta - c;
        if (!odd && k >= -d && k <= d && x + forward_[At(offset + k)] >= n) return {a1 - x, b1 - y, a1 - sx, b1 - sy};
      }
    }
    return {a0, b0, a0, b0};  // not reached: the searches meet within (n + m + 1) / 2 steps
  }

  std::span<const std::string_view> a_, b_;
  std::vector<LineEdit>& out_;
  std::vector<Index> forward_, backward_;
};

}  // namespace

std::vector<LineEdit> MyersLineDiff(std::span<const std::string_view> from, std::span<const std::string_view> to) {
  std::vector<LineEdit> edits;
  edits.reserve(from.size() + to.size());
  Differ(from, to, edits).Run(0, static_cast<Index>(from.size()), 0, static_cast<Index>(to.size()));
  return edits;
}

}  // namespace kartwerk::compare

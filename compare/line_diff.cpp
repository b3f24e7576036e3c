#include "compare/line_diff.hpp"

#include <algorithm>
#include <cstdint>

#include "compare/text_lines.hpp"

namespace kartwerk {
namespace {

// One line of the edit script: ' ' kept, '-' only in from, '+' only in to.
struct Step {
  char op;
  std::size_t a;  // line index in from (for ' ' and '-')
  std::size_t b;  // line index in to (for ' ' and '+')
};

// The edit script of from[a0, a1) against to[b0, b1) by their longest common run of lines.
void Middle(const std::vector<std::string_view>& from, const std::vector<std::string_view>& to, std::size_t a0,
            std::size_t a1, std::size_t b0, std::size_t b1, std::vector<Step>& steps) {
  const std::size_t n = a1 - a0, m = b1 - b0;
  if (n > kMaxMatchedLines || m > kMaxMatchedLines || n == 0 || m == 0) {
    for (std::size_t i = a0; i < a1; ++i) steps.push_back({'-', i, b0});
    for (std::size_t j = b0; j < b1; ++j) steps.push_back({'+', a1, j});
    return;
  }
  // common[i][j]: longest common run of from[a0+i..] and to[b0+j..].
  std::vector<std::uint16_t> common((n + 1) * (m + 1), 0);
  const auto at = [&](std::size_t i, std::size_t j) -> std::uint16_t& { return common[i * (m + 1) + j]; };
  for (std::size_t i = n; i-- > 0;)
    for (std::size_t j = m; j-- > 0;)
      at(i, j) = from[a0 + i] == to[b0 + j] ? static_cast<std::uint16_t>(at(i + 1, j + 1) + 1)
                                            : std::max(at(i + 1, j), at(i, j + 1));
  std::size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && from[a0 + i] == to[b0 + j]) {
      steps.push_back({' ', a0 + i++, b0 + j++});
    } else if (i < n && (j == m || at(i + 1, j) >= at(i, j + 1))) {
      steps.push_back({'-', a0 + i++, b0 + j});
    } else {
      steps.push_back({'+', a0 + i, b0 + j++});
    }
  }
}

}  // namespace

std::vector<std::string> UnifiedLineDiff(std::string_view fromText, std::string_view toText, std::size_t context) {
  if (fromText == toText) return {};
  const auto from = SplitLines(fromText), to = SplitLines(toText);
  std::size_t head = 0;
  while (head < from.size() && head < to.size() && from[head] == to[head]) ++head;
  std::size_t tail = 0;
  while (tail < from.size() - head && tail < to.size() - head &&
         from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
    ++tail;
  std::vector<Step> steps;
  for (std::size_t i = 0; i < head; ++i) steps.push_back({' ', i, i});
  Middle(from, to, head, from.size() - tail, head, to.size() - tail, steps);
  for (std::size_t k = tail; k-- > 0;) steps.push_back({' ', from.size() - 1 - k, to.size() - 1 - k});

  std::vector<std::string> out{"--- map", "+++ folder"};
  std::size_t s = 0;
  while (s < steps.size()) {
    while (s < steps.size() && steps[s].op == ' ') ++s;
    if (s == steps.size()) break;
    // A hunk: from context lines before the change to context lines after its last change,
    // changes closer than twice the context joined.
    const std::size_t begin = s >= context ? s - context : 0;
    std::size_t lastChange = s;
    for (std::size_t k = s; k < steps.size() && k - lastChange <= 2 * context; ++k)
      if (steps[k].op != ' ') lastChange = k;
    const std::size_t end = std::min(lastChange + 1 + context, steps.size());
    std::size_t fromCount = 0, toCount = 0;
    for (std::size_t k = begin; k < end; ++k) {
      if (steps[k].op != '+') ++fromCount;
      if (steps[k].op != '-') ++toCount;
    }
    const std::size_t fromStart = steps[begin].a + (fromCount ? 1 : 0);
    const std::size_t toStart = steps[begin].b + (toCount ? 1 : 0);
    out.push_back("@@ -" + std::to_string(fromStart) + "," + std::to_string(fromCount) + " +" +
                  std::to_string(toStart) + "," + std::to_string(toCount) + " @@");
    for (std::size_t k = begin; k < end; ++k) {
      const std::string_view line = steps[k].op == '+' ? to[steps[k].b] : from[steps[k].a];
      out.push_back(std::string(1, steps[k].op) + std::string(line));
    }
    s = end;
  }
  return out;
}

}  // namespace kartwerk

#include "compare/line_diff.hpp"

#include <algorithm>

#include "compare/myers_line_diff.hpp"
#include "compare/text_lines.hpp"

namespace kartwerk::compare {
namespace {

// One line of the edit script: ' ' kept, '-' only in from, '+' only in to.
struct Step {
  char op;
  std::size_t a;  // line index in from (for ' ' and '-')
  std::size_t b;  // line index in to (for ' ' and '+')
};

}  // namespace

std::vector<std::string> UnifiedLineDiff(std::string_view fromText, std::string_view toText, std::size_t context) {
  if (fromText == toText) return {};
  const auto from = SplitLines(fromText), to = SplitLines(toText);
  std::vector<Step> steps;
  steps.reserve(from.size() + to.size());
  for (const LineEdit& edit : MyersLineDiff(from, to)) {
    const char op = edit.op == LineEdit::Op::Keep ? ' ' : edit.op == LineEdit::Op::Delete ? '-' : '+';
    steps.push_back({op, edit.from, edit.to});
  }

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

}  // namespace kartwerk::compare

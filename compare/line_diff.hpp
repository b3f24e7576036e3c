// A unified line diff of two texts ("--- map", "+++ folder", "@@ -a,b +c,d @@" hunks).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kartwerk {

// The lines of the diff, without their line ends; empty when the texts are equal. Between the
// common start and end, lines are matched by their longest common run when both sides hold at
// most kMaxMatchedLines lines; a longer middle is shown removed and added whole.
inline constexpr std::size_t kMaxMatchedLines = 2000;
std::vector<std::string> UnifiedLineDiff(std::string_view from, std::string_view to, std::size_t context = 3);

}  // namespace kartwerk

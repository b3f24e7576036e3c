// A unified line diff of two texts ("--- map", "+++ folder", "@@ -a,b +c,d @@" hunks).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kartwerk::compare {

// The lines of the diff, without their line ends; empty when the texts are equal. Lines are
// matched by the shortest edit script, whatever the texts' length.
std::vector<std::string> UnifiedLineDiff(std::string_view from, std::string_view to, std::size_t context = 3);

}  // namespace kartwerk::compare

// A text's lines, without their line ends ("a\nb\n" gives "a", "b").
#pragma once

#include <string_view>
#include <vector>

namespace kartwerk::compare {

std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace kartwerk::compare

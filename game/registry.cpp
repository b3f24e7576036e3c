#include "game/registry.hpp"

#include <algorithm>

#include "core/text.hpp"

namespace kartwerk::game {

std::vector<std::string> SplitKeyPath(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool KeyNameLess(std::string_view a, std::string_view b) {
  // The registry orders its keys by their upper-case form ('_' sorts after the letters).
  const std::string ua = core::AsciiUpper(a);
  const std::string ub = core::AsciiUpper(b);
  return std::lexicographical_compare(ua.begin(), ua.end(), ub.begin(), ub.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

}  // namespace kartwerk::game

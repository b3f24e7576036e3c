#include "game/lutris_games.hpp"

#include <string>

namespace kartwerk::game {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// A plain or quoted YAML scalar; a comment after it is dropped.
std::string Scalar(std::string_view value) {
  value = Trimmed(value);
  if (!value.empty() && (value.front() == '"' || value.front() == '\'')) {
    const char quote = value.front();
    std::string out;
    for (std::size_t i = 1; i < value.size(); ++i) {
      // '' inside single quotes and \" or \\ inside double quotes stand for one character.
      if (value[i] == quote && quote == '\'' && i + 1 < value.size() && value[i + 1] == '\'') {
        ++i;
      } else if (value[i] == quote) {
        break;
      } else if (quote == '"' && value[i] == '\\' && i + 1 < value.size()) {
        ++i;
      }
      out += value[i];
    }
    return out;
  }
  const auto comment = value.find(" #");
  return std::string(Trimmed(value.substr(0, comment)));
}

}  // namespace

std::filesystem::path LutrisGamePrefix(std::string_view yaml, const std::filesystem::path& home) {
  bool inGame = false;
  std::size_t start = 0;
  while (start <= yaml.size()) {
    std::size_t end = yaml.find('\n', start);
    if (end == std::string_view::npos) end = yaml.size();
    const std::string_view line = yaml.substr(start, end - start);
    start = end + 1;
    if (Trimmed(line).empty() || Trimmed(line).front() == '#') continue;
    const bool indented = line.front() == ' ' || line.front() == '\t';
    if (!indented) {
      inGame = Trimmed(line) == "game:";
      continue;
    }
    const std::string_view entry = Trimmed(line);
    if (!inGame || entry.substr(0, 7) != "prefix:") continue;
    const std::string prefix = Scalar(entry.substr(7));
    if (prefix.empty()) return {};
    if (prefix == "~") return home;
    if (prefix.rfind("~/", 0) == 0) return home / prefix.substr(2);
    return prefix;
  }
  return {};
}

}  // namespace kartwerk::game

#include "platform/path_lookup.hpp"

#include <algorithm>
#include <system_error>

#include "core/text.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::platform {

std::vector<std::string> FindFilesIgnoringCase(const std::filesystem::path& folder, std::string_view pattern) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    if (!it->is_regular_file(type_ec)) continue;
    std::string name = TextFromPath(it->path().filename());
    if (core::MatchesPatternIgnoreCase(pattern, name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    if (core::LessIgnoreCase(a, b)) return true;
    if (core::LessIgnoreCase(b, a)) return false;
    return a < b;  // names equal but for case keep one fixed order
  });
  return names;
}

std::filesystem::path ResolveIgnoringCase(const std::filesystem::path& folder, const std::string& name) {
  std::filesystem::path exact = folder / PathFromText(name);
  std::error_code ec;
  if (std::filesystem::exists(exact, ec)) return exact;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (core::EqualsIgnoreCase(TextFromPath(it->path().filename()), name)) return it->path();
  }
  return exact;
}

std::filesystem::path JoinIgnoringCase(const std::filesystem::path& base, std::string_view relative) {
  std::filesystem::path result = base;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = relative.size();
    if (end > start) result = ResolveIgnoringCase(result, std::string(relative.substr(start, end - start)));
    start = end + 1;
  }
  return result;
}

}  // namespace kartwerk::platform

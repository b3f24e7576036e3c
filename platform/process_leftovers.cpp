#include "platform/process_leftovers.hpp"

#include <system_error>
#include <vector>

#include "platform/path_text.hpp"
#include "platform/platform_files.hpp"

namespace kartwerk::platform {
namespace fs = std::filesystem;

std::string ProcessMarkedName(std::string_view prefix) {
  return std::string(prefix) + std::to_string(CurrentProcessId()) + "-" + RandomSuffix();
}

unsigned long MarkedProcess(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return 0;
  unsigned long process = 0;
  std::size_t i = prefix.size();
  for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
    if (process > 0xFFFFFFFFul) return 0;  // no process has a number this long
    process = process * 10 + static_cast<unsigned long>(name[i] - '0');
  }
  return i > prefix.size() && i < name.size() && name[i] == '-' ? process : 0;
}

void RemoveEndedProcessLeftovers(const fs::path& folder, std::string_view prefix) {
  std::vector<fs::path> ended;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const unsigned long process = MarkedProcess(TextFromPath(it->path().filename()), prefix);
    if (process != 0 && !ProcessIsRunning(process)) ended.push_back(it->path());
  }
  for (const fs::path& path : ended) fs::remove_all(path, ec);
}

}  // namespace kartwerk::platform

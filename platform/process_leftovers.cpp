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
  FolderReading reading(folder);
  RemoveEndedProcessLeftovers(folder, reading.Entries(), {prefix});
}

void RemoveEndedProcessLeftovers(const fs::path& folder, std::vector<FolderEntry>& entries,
                                 std::initializer_list<std::string_view> prefixes) {
  const auto ended = [&](const FolderEntry& entry) {
    for (const std::string_view prefix : prefixes) {
      if (!entry.name.starts_with(prefix)) continue;
      const unsigned long process = MarkedProcess(entry.name, prefix);
      if (process != 0) return !ProcessIsRunning(process);
    }
    return false;
  };
  std::error_code ec;
  std::erase_if(entries, [&](const FolderEntry& entry) {
    if (!ended(entry)) return false;
    fs::remove_all(folder / PathFromText(entry.name), ec);
    return !ec;
  });
}

}  // namespace kartwerk::platform

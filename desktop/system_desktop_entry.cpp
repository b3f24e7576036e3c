#include "desktop/system_desktop_entry.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "core/text.hpp"
#include "desktop/map_types.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::desktop {
namespace {

// A desktop entry is a few hundred bytes; a larger file is no entry of ours.
constexpr std::uintmax_t kMaxEntrySize = 64 * 1024;

// The value of key in the [Desktop Entry] group; empty when it is not there.
std::string EntryValue(std::string_view entry, std::string_view key) {
  bool inMainGroup = false;
  std::size_t start = 0;
  while (start < entry.size()) {
    std::size_t end = entry.find('\n', start);
    if (end == std::string_view::npos) end = entry.size();
    std::string_view line = entry.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with('[')) {
      inMainGroup = line == "[Desktop Entry]";
      continue;
    }
    if (!inMainGroup || !line.starts_with(key)) continue;
    line.remove_prefix(key.size());
    const std::size_t equals = line.find_first_not_of(' ');
    if (equals == std::string_view::npos || line[equals] != '=') continue;
    line.remove_prefix(equals + 1);
    const std::size_t value = line.find_first_not_of(' ');
    return value == std::string_view::npos ? std::string() : std::string(line.substr(value));
  }
  return {};
}

// The program an Exec line starts, by its file name: its first word, quotes removed.
std::string ExecProgramName(const std::string& exec) {
  std::string program;
  if (!exec.empty() && exec.front() == '"') {
    for (std::size_t i = 1; i < exec.size() && exec[i] != '"'; ++i) {
      if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
      program += exec[i];
    }
  } else {
    program = exec.substr(0, exec.find_first_of(" \t"));
  }
  const std::size_t slash = program.rfind('/');
  return slash == std::string::npos ? program : program.substr(slash + 1);
}

std::string ReadSmallFile(const std::filesystem::path& path) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxEntrySize) return {};
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

std::vector<std::filesystem::path> SystemDataFolders() {
  std::vector<std::filesystem::path> folders;
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  const std::string text = dirs ? dirs : "";
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(':', start);
    if (end == std::string::npos) end = text.size();
    const std::filesystem::path folder = platform::PathFromText(text.substr(start, end - start));
    if (folder.is_absolute()) folders.push_back(folder);
    start = end + 1;
  }
  if (folders.empty()) folders = {"/usr/local/share", "/usr/share"};
  return folders;
}

bool DesktopEntryOpensMapTypes(std::string_view entry) {
  if (ExecProgramName(EntryValue(entry, "Exec")) != "kartwerk") return false;
  const std::string types = ";" + EntryValue(entry, "MimeType") + ";";
  return std::all_of(kCompiledMapTypes.begin(), kCompiledMapTypes.end(), [&types](const MapType& type) {
    return types.find(";" + std::string(type.mimeType) + ";") != std::string::npos;
  });
}

std::optional<std::filesystem::path> SystemDesktopEntryForMapTypes(const std::vector<std::filesystem::path>& folders) {
  for (const std::filesystem::path& folder : folders) {
    std::error_code ec;
    std::vector<std::filesystem::path> entries;
    for (std::filesystem::directory_iterator it(folder / "applications", ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = core::AsciiLower(platform::TextFromPath(it->path().filename()));
      if (name.find("kartwerk") != std::string::npos && name.ends_with(".desktop")) entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    for (const std::filesystem::path& entry : entries) {
      if (DesktopEntryOpensMapTypes(ReadSmallFile(entry))) return entry;
    }
  }
  return std::nullopt;
}

}  // namespace kartwerk::desktop

#include "game/wine_paths.hpp"

#include <cctype>
#include <string>
#include <system_error>
#include <vector>

#include "platform/path_lookup.hpp"

namespace kartwerk::game {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

std::filesystem::path WineHostPath(const std::filesystem::path& prefix, std::string_view windowsPath) {
  std::string_view text = windowsPath;
  // Long-path and object-manager forms: \\?\C:\... and \??\C:\..., \\?\UNC\server\share.
  bool unc = false;
  if (StartsWith(text, "\\\\?\\") || StartsWith(text, "\\??\\")) {
    text.remove_prefix(4);
    if (text.size() >= 4 && (text[0] == 'U' || text[0] == 'u') && (text[1] == 'N' || text[1] == 'n') &&
        (text[2] == 'C' || text[2] == 'c') && IsSeparator(text[3])) {
      text.remove_prefix(4);
      unc = true;
    }
  } else if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
    text.remove_prefix(2);
    unc = true;
  }

  const std::filesystem::path devices = prefix / "dosdevices";
  std::filesystem::path root;
  if (unc) {
    root = platform::ResolveIgnoringCase(devices, "unc");
  } else if (text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':') {
    const std::string drive{static_cast<char>(std::tolower(static_cast<unsigned char>(text[0]))), ':'};
    root = platform::ResolveIgnoringCase(devices, drive);
    std::error_code ec;
    // A prefix without its drive links still keeps drive C in drive_c.
    if (drive == "c:" && !std::filesystem::exists(std::filesystem::symlink_status(root, ec))) {
      root = prefix / "drive_c";
    }
    text.remove_prefix(2);
  } else {
    return {};
  }
  // Through the drive link to the folder itself (dosdevices/c: -> drive_c), for readable paths.
  std::error_code ec;
  if (std::filesystem::path real = std::filesystem::canonical(root, ec); !ec) root = std::move(real);

  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = start;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    const std::string_view part = text.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.emplace_back(part);
    }
    start = end + 1;
  }
  if (unc && parts.size() < 2) return {};  // a UNC path names at least a server and a share

  std::string relative;
  for (const std::string& part : parts) {
    if (!relative.empty()) relative += '/';
    relative += part;
  }
  return platform::JoinIgnoringCase(root, relative);
}

}  // namespace kartwerk::game

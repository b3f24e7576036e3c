#include "game/complete_installation.hpp"

#include <system_error>

#include "core/shown_text.hpp"
#include "game/game_location.hpp"
#include "platform/path_lookup.hpp"
#include "platform/path_text.hpp"

namespace kartwerk::game {
namespace {

bool IsFile(const std::filesystem::path& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

// chosenVersion counts to 255; installations past it can only be reached with --game DIR.
constexpr std::size_t kMaxChoosable = 255;

}  // namespace

std::string MissingEditorFile(const InstalledVersion& installation) {
  if (IsFile(platform::JoinIgnoringCase(installation.hostFolder, kEditorLibrary))) return {};
  return std::string(kEditorLibrary);
}

std::vector<std::size_t> ChooseFirstCompleteInstallation(GameInstallations& installs) {
  std::vector<std::size_t> skipped;
  if (installs.chosenVersion != 0) return skipped;
  const std::size_t count = std::min(installs.installedVersions.size(), kMaxChoosable);
  for (std::size_t number = 1; number <= count; ++number) {
    if (MissingEditorFile(installs.installedVersions[number - 1]).empty()) {
      installs.chosenVersion = static_cast<std::uint8_t>(number);
      return skipped;
    }
    skipped.push_back(number);
  }
  return skipped;
}

std::string InstallationName(const GameInstallations& installs, std::size_t number) {
  std::string name = "installation " + std::to_string(number);
  if (number == 0 || number > installs.installedVersions.size()) return name;
  const InstalledVersion& entry = installs.installedVersions[number - 1];
  std::string version = entry.language;
  if (!version.empty() && !entry.version.empty()) version += ' ';
  version += entry.version;
  // Registry values: a control character in one is written out, never obeyed where the line is shown.
  name += " (";
  if (!version.empty()) name += core::ShownText(version) + ", ";
  return name + core::ShownText(platform::TextFromPath(entry.hostFolder)) + ")";
}

std::vector<std::string> SkippedInstallationLines(const GameInstallations& installs,
                                                  const std::vector<std::size_t>& skipped) {
  std::vector<std::string> lines;
  if (skipped.empty() || installs.chosenVersion == 0) return lines;
  for (const std::size_t number : skipped) {
    lines.push_back("skipped " + InstallationName(installs, number) + ": " +
                    MissingEditorFile(installs.installedVersions[number - 1]) + " is missing");
  }
  lines.push_back("using " + InstallationName(installs, installs.chosenVersion));
  return lines;
}

std::string GameNotLocatedDetails(const GameInstallations& installs) {
  std::string text(kGameNotLocatedMessage);
  const std::size_t chosen = installs.chosenVersion;
  const char* separator = " ";
  for (std::size_t number = 1; number <= installs.installedVersions.size(); ++number) {
    if (chosen != 0 && number != chosen) continue;
    const std::string missing = MissingEditorFile(installs.installedVersions[number - 1]);
    if (missing.empty()) continue;
    text += separator + InstallationName(installs, number) + ": " + missing + " is missing";
    separator = "; ";
    if (chosen != 0 && installs.installedVersions.size() > 1) {
      text += " (the map lies in its folder; name another game folder with --game DIR)";
    }
  }
  return text;
}

}  // namespace kartwerk::game

// Wine prefixes for the installation tests: the drive folders and a "system.reg" written the
// way Wine writes it (escaped names, key lines with time stamps, "#time=" lines).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kartwerk::testing {

// A UTF-8 text escaped as Wine escapes registry texts: a backslash before '\' and the two
// delimiters, "\x" and hex for every character past ASCII ("\x00c4" when a hex digit follows).
std::string WineEscape(std::string_view utf8, std::string_view delimiters = "\"");

// "WINE REGISTRY Version 2" and the lines Wine puts before the first key.
std::string WineRegistryHeader();

struct WineInstallation {
  std::string subKey;
  std::string folder;  // "target folder", a Windows path
  std::string version;
  std::string language;
};

// One installation's key block, its values among others of other types, as Wine writes it.
std::string WineInstallationKey(const WineInstallation& installation,
                                std::string_view gameKey = "Software\\Brannox\\Vornmark II");

// Makes prefix/drive_c and prefix/dosdevices/c: (a link to ../drive_c), and writes
// prefix/system.reg as the header followed by body.
void MakeWinePrefix(const std::filesystem::path& prefix, std::string_view body);

// A game folder with its editor ("editor/scridll.dll") under drive_c; returns the folder.
std::filesystem::path MakeGameFolder(const std::filesystem::path& prefix, std::string_view relativeToDriveC,
                                     bool withEditor = true);

}  // namespace kartwerk::testing

// The three compiled map types the program handles when the shell opens them, and the
// entries that associate each with the program on Windows.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kartwerk::desktop {

struct MapType {
  std::string_view extension;    // without the dot: "qdm"
  std::string_view description;  // Windows-1252 bytes (the ™ sign is 0x99)
  std::string_view mimeType;     // the type name on desktops that use shared-mime-info
};

// In the order they are registered: single-player, multiplayer, campaign.
inline constexpr std::array<MapType, 3> kCompiledMapTypes = {{
    {"qdm", "Vornmark II\x99 singleplayer map", "application/x-vornmark-ii-singleplayer-map"},
    {"qdp", "Vornmark II\x99 multiplayer map", "application/x-vornmark-ii-multiplayer-map"},
    {"qdc", "Vornmark II\x99 campaign map", "application/x-vornmark-ii-campaign-map"},
}};

// A key under HKEY_CLASSES_ROOT and the text of its default value, both in UTF-8.
struct ClassRootEntry {
  std::string key;
  std::string value;
};

// The eight entries that make the shell open a map type with the program at programPath:
// ".qdm" -> "qdm" -> description, icon, the default verb "open" ("Convert <description>") and
// its command, and the same command under the verb "Default_action".
std::array<ClassRootEntry, 8> ClassRootEntries(const MapType& type, std::string_view programPath);

}  // namespace kartwerk::desktop

// The editor's slot folders: gameFolder\editor\maps.src\map.000 to map.254, each holding one
// editable map whose name is the first line of the slot's "desc" file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "game/game_installations.hpp"

namespace kartwerk::game {

// "000" to "254": the slot number with leading zeros to three digits.
std::string SlotNumberText(int slot);

// The slot's folder under gameFolder (components found without regard to case when they exist).
std::filesystem::path SlotFolderPath(const std::filesystem::path& gameFolder, int slot);

// The title a "desc" file gives its slot: its text up to the first carriage return, line feed
// or zero byte, unchanged.
std::string SlotTitleFromDesc(std::string_view descContent);

// The title a "desc" file holds (its Windows-1252 bytes, as SlotTitleFromDesc takes them), or
// std::nullopt when there is no such file or it is no regular file. Only as many bytes as a title
// can hold are read, however large the file. A "desc" that cannot be read gives the empty title.
std::optional<std::string> ReadSlotTitleFile(const std::filesystem::path& desc);

// The title of the map in a slot (ReadSlotTitleFile of its "desc"), or std::nullopt when the slot
// has no "desc" file: the slot is free.
std::optional<std::string> ReadSlotTitle(const std::filesystem::path& gameFolder, int slot);

// "Map 007: Dunes" (the title's bytes as they are) for an occupied slot, "Map 123:    --- empty ---" for a free one.
std::string SlotLine(int slot, const std::optional<std::string>& title);

// Locates the game (LocateGame), then rewrites slotList entries 0 to 254 from the slot folders.
// Returns whether the game was located; the lines are built either way.
bool BuildSlotList(GameInstallations& installs);

}  // namespace kartwerk::game

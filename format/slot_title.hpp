// A slot's title: the first line of its "desc" file, Windows-1252 bytes like every editor text,
// at most 255 of them. Written from the map's name when a map is converted into the slot, read
// back for every list of slots.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kartwerk::format {

inline constexpr std::size_t kMaxSlotTitleBytes = 255;

// The title for a map name kept as text (UTF-8, or a Linux file name's own bytes): in
// Windows-1252, "?" for each character the code page cannot hold (lost is then set), cut to
// kMaxSlotTitleBytes.
std::string SlotTitleFromName(std::string_view name, bool& lost);

}  // namespace kartwerk::format

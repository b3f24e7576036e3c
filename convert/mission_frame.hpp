// What every file of a mission folder shares: its path, the removal of the old copy,
// the one-piece save, and byte copies of whole sections.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/byte_stream.hpp"
#include "core/conversion.hpp"

namespace kartwerk {

// MissionFolder() / name.
std::filesystem::path MissionFilePath(const Conversion& conversion, std::string_view name);

// Removes the mission file of this name, if there is one, and returns its path. A writer calls
// this before building the content, so a writer that fails leaves no stale copy behind that
// could pass for this run's output.
std::filesystem::path DiscardMissionFile(const Conversion& conversion, std::string_view name);

// Saves content whole as the mission file of this name (FileCreateError when it cannot).
void SaveMissionFile(const std::filesystem::path& path, std::span<const std::uint8_t> content);
void SaveMissionFile(const std::filesystem::path& path, std::string_view content);

// The whole data of a section, exactly its stored size; StreamReadError when the stream ends first.
Bytes CopySection(Conversion& conversion, Section section);

// Reports repaired input through conversion.Warn (when set), prefixed with the mission's name.
void WarnForMission(const Conversion& conversion, const std::string& message);

// For the counted lists: whether record index (0-based) of count should still be read. It
// should while it is below the count and begins inside MissionStream; a count that runs past
// the end of the stream is cut there (once, with a warning naming the file), since records read
// there would be nothing but zero fill.
bool NextRecordExists(const Conversion& conversion, std::int64_t index, std::int64_t count,
                      std::string_view file);

}  // namespace kartwerk

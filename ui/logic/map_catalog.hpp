// What the map browser lists and shows: the three map categories with their folders in the
// game, the rows of a category, and the size, scheme and mission count of a map, read from the
// start of the compiled file alone.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "format/conversion.hpp"
#include "format/map_kind.hpp"

namespace kartwerk::logic {

struct MapCategory {
  format::MapKindCode kind;
  std::string_view folder;     // inside the game folder
  std::string_view pattern;    // the files listed
  std::string_view extension;  // added to a row's caption to name its file
};

// Singleplayer "game\maps\single" *.qdm, Multiplayer "game\maps\mplay" *.qdp,
// Campaigns "game\maps\campaign" *.qdc.
const MapCategory& CategoryOf(format::MapKindCode kind);

// The category's folder inside gameFolder (components found without regard to case).
std::filesystem::path CategoryFolder(const std::filesystem::path& gameFolder, const MapCategory& category);

// One row per map file of the folder, in the order of a case-insensitive listing: the file's name
// without its last four characters. A campaign is listed by its main file alone, whose name is
// exactly seven characters (three and the extension); its mission files are longer.
std::vector<std::string> CategoryRows(const std::filesystem::path& folder, const MapCategory& category);

// A campaign's files: every "*.qdc" in folder whose name starts with the campaign's first three
// characters, its main file included (so the missions are one fewer).
std::vector<std::string> CampaignFiles(const std::filesystem::path& folder, std::string_view caption);

// Where the map information lies in a compiled map's decompressed body: the first section's data
// (offset 24), or for a multiplayer map the second's, after a 16-byte first section (offset 56).
std::size_t MapInformationOffset(format::MapKindCode kind);

// Scheme, width and height of the map in file, decompressing only as far as the information
// reaches. Bytes the file does not hold read as 0. Throws GzipError for a file that is no gzip
// member or cannot be opened.
format::MapInformation ReadMapHeaderInformation(const std::filesystem::path& file, format::MapKindCode kind);

// The same, and why the information cannot be trusted: a map whose content ends before its
// information (a file cut short) has none to show. problem is empty for a map read whole.
struct MapHeader {
  format::MapInformation information;
  std::string problem;
};
MapHeader ReadMapHeader(const std::filesystem::path& file, format::MapKindCode kind);

}  // namespace kartwerk::logic

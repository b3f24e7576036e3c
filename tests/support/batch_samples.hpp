// Compiled maps for batch conversion tests: several of each kind in one folder, and a way to
// compare whole output folders.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/byte_stream.hpp"

namespace kartwerk::testing {

// Writes eight maps into folder: the three bundled samples (frontier.qdm, islands.qdp and the
// campaign 007 with two missions), two more single-player maps, two more multiplayer maps and
// a campaign 013 with three missions, all different. Returns the files to open, the
// campaigns by their main file.
std::vector<std::filesystem::path> WriteBatchSamples(const std::filesystem::path& folder);

// Every regular file under folder, by its path relative to folder ("mis.000/players").
std::map<std::string, core::Bytes> FolderContents(const std::filesystem::path& folder);

}  // namespace kartwerk::testing

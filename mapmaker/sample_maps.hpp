// Plausible compiled maps of every kind, for the bundled samples and for end-to-end tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/byte_stream.hpp"
#include "format/map_kind.hpp"

namespace kartwerk::mapmaker {

struct SampleOptions {
  std::uint32_t seed = 1;
  std::uint32_t scheme = 0;
  std::int32_t width = 32;
  std::int32_t height = 24;
};

// The decompressed main container of a map of the given kind.
core::Bytes SampleMainContainer(format::MapKindCode kind, const SampleOptions& options);
// The decompressed container of one campaign mission.
core::Bytes SampleMissionContainer(const SampleOptions& options, std::uint32_t missionNumber);

// The container with the data of the entry at position replaced (names, order and the other
// entries' data kept), for samples that differ from a bundled one in a single section.
core::Bytes ReplaceSection(const core::Bytes& container, std::size_t position, const core::Bytes& data);

// Writes the three bundled samples into folder: a single-player map, a multiplayer map and a
// campaign with two missions. Returns the paths of the files to open (the campaign's main file).
std::vector<std::filesystem::path> WriteSampleMaps(const std::filesystem::path& folder);

}  // namespace kartwerk::mapmaker

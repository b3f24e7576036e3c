// The steps of a conversion in the order they run, each with the label shown before it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "core/conversion.hpp"
#include "core/staging.hpp"

namespace kartwerk {

// One step: the label reported before it runs and the writer it runs.
struct ConversionStep {
  std::string_view label;
  void (*run)(Conversion&);
};

// Run once per map, into SlotFolder, from the map's main container.
inline constexpr std::size_t MapStepCount = 4;
const std::array<ConversionStep, MapStepCount>& MapSteps();

// Reported once between the map-level steps and the first mission (and again as the label
// of each mission's groups step).
inline constexpr std::string_view MissionsStartLabel = "Groups";

// Run once per mission, into MissionFolder(), from the mission's container.
inline constexpr std::size_t MissionStepCount = 14;
const std::array<ConversionStep, MissionStepCount>& MissionSteps();

// A mission's number is 8 bits wide in the editor's world: a campaign has at most this many.
inline constexpr std::size_t MaxMissions = MaxCampaignMissions;

// Number of labels a conversion of this many missions reports when it runs to the end.
constexpr std::size_t ReportedLabelCount(std::size_t missions) {
  return MapStepCount + 1 + MissionStepCount * missions;
}

}  // namespace kartwerk

// The steps of a conversion in the order they run, each with the label shown before it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "format/conversion.hpp"
#include "format/staging.hpp"

namespace kartwerk::pipeline {

// One step: the label reported before it runs and the writer it runs.
struct ConversionStep {
  std::string_view label;
  void (*run)(format::Conversion&);
};

// Run once per map, into SlotFolder, from the map's main container.
inline constexpr std::size_t kMapStepCount = 4;
const std::array<ConversionStep, kMapStepCount>& MapSteps();

// Reported once between the map-level steps and the first mission (and again as the label
// of each mission's groups step).
inline constexpr std::string_view kMissionsStartLabel = "Groups";

// Run once per mission, into MissionFolder(), from the mission's container.
inline constexpr std::size_t kMissionStepCount = 14;
const std::array<ConversionStep, kMissionStepCount>& MissionSteps();

// A mission's number is 8 bits wide in the editor's world: a campaign has at most this many.
inline constexpr std::size_t kMaxMissions = format::kMaxCampaignMissions;

// Number of labels a conversion of this many missions reports when it runs to the end.
constexpr std::size_t ReportedLabelCount(std::size_t missions) {
  return kMapStepCount + 1 + kMissionStepCount * missions;
}

}  // namespace kartwerk::pipeline

#include "core/pipeline/conversion_steps.hpp"

#include "convert/map_files.hpp"
#include "convert/mission_files.hpp"
#include "convert/mission_lists.hpp"

namespace kartwerk {

const std::array<ConversionStep, MapStepCount>& MapSteps() {
  static constexpr std::array<ConversionStep, MapStepCount> steps{{
      {"Airfields", WriteAirfieldsFile},
      {"Objects", WriteObjectsFile},  // marks CliffGrid, which "cFlags" reads
      {"Rhombs", WriteRhombsFile},
      {"cFlags", WriteCflagsFile},
  }};
  return steps;
}

const std::array<ConversionStep, MissionStepCount>& MissionSteps() {
  static constexpr std::array<ConversionStep, MissionStepCount> steps{{
      {"Info", WriteInfoFile},  // first: sets MissionRect for the steps that place things
      {"Desc", WriteDescFile},
      {"Groups", WriteGroupsFile},
      {"Support", WriteSupportFile},
      {"Sounds", WriteSoundsFile},
      {"Mines", WriteMinesFile},
      {"Locations", WriteLocationsFile},
      {"Phrases", WritePhrasesFile},
      {"Objects", WriteObjsFile},
      {"Mismult", WriteMismultFile},
      {"Misdesc", WriteMisdescFile},
      {"Players", WritePlayersFile},
      {"Units", WriteMapunitsFile},
      {"Scripts", WriteScripts2File},
  }};
  return steps;
}

}  // namespace kartwerk

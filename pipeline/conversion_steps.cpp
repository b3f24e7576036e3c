#include "pipeline/conversion_steps.hpp"

#include "convert/writers/airfields_file.hpp"
#include "convert/writers/cflags_file.hpp"
#include "convert/writers/mission_grid_files.hpp"
#include "convert/writers/mission_info_files.hpp"
#include "convert/writers/mission_list_files.hpp"
#include "convert/writers/mission_players_file.hpp"
#include "convert/writers/mission_section_files.hpp"
#include "convert/writers/objects_file.hpp"
#include "convert/writers/rhombs_file.hpp"

namespace kartwerk::pipeline {

const std::array<ConversionStep, kMapStepCount>& MapSteps() {
  static constexpr std::array<ConversionStep, kMapStepCount> steps{{
      {"Airfields", writers::WriteAirfieldsFile},
      {"Objects", writers::WriteObjectsFile},  // marks CliffGrid, which "cFlags" reads
      {"Rhombs", writers::WriteRhombsFile},
      {"cFlags", writers::WriteCflagsFile},
  }};
  return steps;
}

const std::array<ConversionStep, kMissionStepCount>& MissionSteps() {
  static constexpr std::array<ConversionStep, kMissionStepCount> steps{{
      {"Info", writers::WriteInfoFile},  // first: sets MissionRect for the steps that place things
      {"Desc", writers::WriteDescFile},
      {"Groups", writers::WriteGroupsFile},
      {"Support", writers::WriteSupportFile},
      {"Sounds", writers::WriteSoundsFile},
      {"Mines", writers::WriteMinesFile},
      {"Locations", writers::WriteLocationsFile},
      {"Phrases", writers::WritePhrasesFile},
      {"Objects", writers::WriteObjsFile},
      {"Mismult", writers::WriteMismultFile},
      {"Misdesc", writers::WriteMisdescFile},
      {"Players", writers::WritePlayersFile},
      {"Units", writers::WriteMapunitsFile},
      {"Scripts", writers::WriteScripts2File},
  }};
  return steps;
}

}  // namespace kartwerk::pipeline

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

namespace kartwerk {

const std::array<ConversionStep, kMapStepCount>& MapSteps() {
  static constexpr std::array<ConversionStep, kMapStepCount> steps{{
      {"Airfields", WriteAirfieldsFile},
      {"Objects", WriteObjectsFile},  // marks CliffGrid, which "cFlags" reads
      {"Rhombs", WriteRhombsFile},
      {"cFlags", WriteCflagsFile},
  }};
  return steps;
}

const std::array<ConversionStep, kMissionStepCount>& MissionSteps() {
  static constexpr std::array<ConversionStep, kMissionStepCount> steps{{
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

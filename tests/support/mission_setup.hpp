// A mission ready for the mission writers: a container loaded as the current one, and an empty
// mission folder under a scratch slot folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "format/conversion.hpp"
#include "mapmaker/map_builder.hpp"

namespace kartwerk::testing {

class MissionSetup {
 public:
  MissionSetup(format::MapKindCode kind, const core::Bytes& container, const std::string& missionName = "mis.000");
  MissionSetup(const MissionSetup&) = delete;
  MissionSetup& operator=(const MissionSetup&) = delete;

  format::Conversion c;
  std::vector<std::string> warnings;  // what c.Warn received

  bool Has(const std::string& file) const;
  core::Bytes File(const std::string& file) const;
  std::string Text(const std::string& file) const;
  std::filesystem::path Path(const std::string& file) const { return c.MissionFolder() / file; }

 private:
  mapmaker::ScratchFolder scratch_;
};

}  // namespace kartwerk::testing

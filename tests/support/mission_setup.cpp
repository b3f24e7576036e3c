#include "tests/support/mission_setup.hpp"

namespace kartwerk::testing {

MissionSetup::MissionSetup(format::MapKindCode kind, const core::Bytes& container, const std::string& missionName) {
  c.MapKind = kind;
  mapmaker::WriteBytes(scratch_ / "container", container);
  format::LoadSectionDirectory(c, scratch_ / "container");
  c.SlotFolder = scratch_ / "slot";
  c.MissionName = missionName;
  std::filesystem::create_directories(c.MissionFolder());
  c.Warn = [this](const std::string& message) { warnings.push_back(message); };
}

bool MissionSetup::Has(const std::string& file) const { return std::filesystem::exists(Path(file)); }

core::Bytes MissionSetup::File(const std::string& file) const { return mapmaker::ReadBytes(Path(file)); }

std::string MissionSetup::Text(const std::string& file) const {
  const core::Bytes b = File(file);
  return std::string(b.begin(), b.end());
}

}  // namespace kartwerk::testing

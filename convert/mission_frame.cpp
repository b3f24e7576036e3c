#include "convert/mission_frame.hpp"

#include <system_error>

#include "core/file_output.hpp"

namespace kartwerk {

std::filesystem::path MissionFilePath(const Conversion& conversion, std::string_view name) {
  return conversion.MissionFolder() / std::string(name);
}

std::filesystem::path DiscardMissionFile(const Conversion& conversion, std::string_view name) {
  std::filesystem::path path = MissionFilePath(conversion, name);
  // A file that cannot be removed is reported by the save, which then cannot replace it either.
  std::error_code ignored;
  if (!std::filesystem::is_directory(path, ignored)) std::filesystem::remove(path, ignored);
  return path;
}

void SaveMissionFile(const std::filesystem::path& path, std::span<const std::uint8_t> content) {
  WriteFileAtomic(path, content);
}

void SaveMissionFile(const std::filesystem::path& path, std::string_view content) {
  WriteFileAtomic(path, content);
}

Bytes CopySection(Conversion& conversion, Section section) {
  const sectionRec& entry = conversion.Seek(section);
  return conversion.MissionStream.ReadExact(entry.size);
}

void WarnForMission(const Conversion& conversion, const std::string& message) {
  if (conversion.Warn) conversion.Warn(conversion.MissionName + ": " + message);
}

bool NextRecordExists(const Conversion& conversion, std::int64_t index, std::int64_t count,
                      std::string_view file) {
  if (index >= count) return false;
  if (!conversion.MissionStream.AtEnd()) return true;
  WarnForMission(conversion, "\"" + std::string(file) + "\" announces " + std::to_string(count) +
                                 " entries, but the mission file ends after " + std::to_string(index) +
                                 "; the rest are left out");
  return false;
}

}  // namespace kartwerk

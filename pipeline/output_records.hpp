// What Kartwerk wrote outside the editor's slots (pictures, galleries), so that a later run may
// replace its own work there and nothing else. One record per place, in a folder of Kartwerk's
// data folder, named by a digest of the place's full path: the path, then what the place held
// when Kartwerk had written it (a file's size and digest, or a folder's listing).
#pragma once

#include <filesystem>

namespace kartwerk::pipeline {

class OutputRecords {
 public:
  explicit OutputRecords(std::filesystem::path folder);
  // KartwerkDataFolder()/written-files.
  static OutputRecords Default();

  // Whether place (a file or a folder) holds exactly what the last record of it says Kartwerk wrote.
  bool Holds(const std::filesystem::path& place) const;
  // Records what place holds now as Kartwerk's; throws std::runtime_error when it cannot.
  void Record(const std::filesystem::path& place) const;

 private:
  std::filesystem::path RecordPath(const std::filesystem::path& place) const;
  std::filesystem::path folder_;
};

}  // namespace kartwerk::pipeline

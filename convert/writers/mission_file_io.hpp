// What every file of a mission folder shares: its path, the removal of the old copy,
// the one-piece save, and byte copies of whole sections.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "convert/writers/section_records.hpp"
#include "core/byte_stream.hpp"
#include "format/conversion.hpp"

namespace kartwerk::writers {

// MissionFolder() / name.
std::filesystem::path MissionFilePath(const format::Conversion& conversion, std::string_view name);

// Removes the mission file of this name, if there is one, and returns its path. A writer calls
// this before building the content, so a writer that fails leaves no stale copy behind that
// could pass for this run's output.
std::filesystem::path DiscardMissionFile(const format::Conversion& conversion, std::string_view name);

// Saves content whole as the mission file of this name (FileCreateError when it cannot), or hands
// it to the conversion's Output when that is set.
void SaveMissionFile(const format::Conversion& conversion, const std::filesystem::path& path,
                     std::span<const std::uint8_t> content);
void SaveMissionFile(const format::Conversion& conversion, const std::filesystem::path& path, std::string_view content);

// The whole data of a section, exactly its stored size; StreamReadError when the stream ends first.
core::Bytes CopySection(format::Conversion& conversion, format::Section section);

// Saves the whole data of a section as the file at path, straight from the container
// (StreamReadError as CopySection, and then no file is written).
void SaveSection(const std::filesystem::path& path, format::Conversion& conversion, format::Section section);

// Reports repaired input through conversion.Warn (when set), prefixed with the mission's name.
void WarnForMission(const format::Conversion& conversion, const std::string& message);

// Walks the records of a counted list. A count of 0 or below means none. Records are read up to
// the count even where they lie past the end of MissionStream (they then read as zeros), but a
// count that reaches far past the end, which only damaged data gives, is cut after
// kMaxRecordsPastEnd such records (the limit the map-level record reader keeps) so that it cannot
// run away with memory and time. When the walk ends, a warning names the file if any record lay
// past the end.
//
//   for (CountedRecords records(c, count, "sounds"); records.Next();) { ...read one record... }
class CountedRecords {
 public:
  CountedRecords(const format::Conversion& conversion, std::int32_t count, std::string_view file);
  // Whether another record is to be read; call once before each record.
  bool Next();
  std::int64_t index() const { return next_ - 1; }

 private:
  const format::Conversion& conversion_;
  std::int64_t count_;
  std::string file_;
  std::int64_t next_ = 0;
  std::int64_t pastEnd_ = 0;
  bool finished_ = false;
};

}  // namespace kartwerk::writers

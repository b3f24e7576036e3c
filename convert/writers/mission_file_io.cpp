#include "convert/writers/mission_file_io.hpp"

#include <algorithm>
#include <system_error>

#include "core/errors.hpp"
#include "platform/file_output.hpp"

namespace kartwerk::writers {

std::filesystem::path MissionFilePath(const format::Conversion& conversion, std::string_view name) {
  return conversion.MissionFolder() / std::string(name);
}

std::filesystem::path DiscardMissionFile(const format::Conversion& conversion, std::string_view name) {
  std::filesystem::path path = MissionFilePath(conversion, name);
  platform::DiscardFile(path, conversion.Output, conversion.Written);
  return path;
}

void SaveMissionFile(const format::Conversion& conversion, const std::filesystem::path& path,
                     std::span<const std::uint8_t> content) {
  platform::WriteFileAtomic(path, content, conversion.Output, conversion.Written);
}

void SaveMissionFile(const format::Conversion& conversion, const std::filesystem::path& path,
                     std::string_view content) {
  platform::WriteFileAtomic(path, content, conversion.Output, conversion.Written);
}

core::Bytes CopySection(format::Conversion& conversion, format::Section section) {
  const format::SectionEntry& entry = conversion.Seek(section);
  return conversion.MissionStream.ReadExact(entry.size);
}

void SaveSection(const std::filesystem::path& path, format::Conversion& conversion, format::Section section) {
  const format::SectionEntry& entry = conversion.Seek(section);
  core::ByteStream& stream = conversion.MissionStream;
  // A section of no bytes (or of a negative stored size) gives an empty file.
  const std::int64_t size = std::max<std::int64_t>(entry.size, 0);
  if (size > stream.Remaining()) throw core::StreamReadError();
  platform::OutputFile out(path, conversion.Output, conversion.Written);
  if (size > 0)
    out.Append(stream.bytes().subspan(static_cast<std::size_t>(stream.position()), static_cast<std::size_t>(size)));
  out.Commit();
  stream.Skip(size);
}

void WarnForMission(const format::Conversion& conversion, const std::string& message) {
  if (conversion.Warn) conversion.Warn(conversion.MissionName + ": " + message);
}

CountedRecords::CountedRecords(const format::Conversion& conversion, std::int32_t count, std::string_view file)
    : conversion_(conversion), count_(std::max<std::int64_t>(count, 0)), file_(file) {}

bool CountedRecords::Next() {
  if (finished_) return false;
  if (next_ < count_ && conversion_.MissionStream.AtEnd() && pastEnd_ == kMaxRecordsPastEnd) {
    WarnForMission(conversion_, "\"" + file_ + "\" announces " + std::to_string(count_) +
                                    " entries, but the mission file ends after " + std::to_string(next_ - pastEnd_) +
                                    "; " + std::to_string(pastEnd_) +
                                    " more are written as zeros and the rest left out");
    finished_ = true;
    return false;
  }
  if (next_ >= count_) {
    if (pastEnd_ > 0) {
      WarnForMission(conversion_, "\"" + file_ + "\": " + std::to_string(pastEnd_) + " of its " +
                                      std::to_string(count_) +
                                      " entries lie past the end of the mission file and read as zeros");
    }
    finished_ = true;
    return false;
  }
  if (conversion_.MissionStream.AtEnd()) ++pastEnd_;
  ++next_;
  return true;
}

}  // namespace kartwerk::writers

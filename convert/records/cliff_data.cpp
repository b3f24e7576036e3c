#include "convert/records/cliff_data.hpp"

#include <fstream>
#include <iterator>
#include <system_error>
#include "platform/path_text.hpp"
#include "platform/whole_file.hpp"

namespace kartwerk::records {

std::shared_ptr<const core::Bytes> LoadCliffData(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    throw CliffDataError("Missing file named cliffdata: \"" + platform::TextFromPath(path) + "\"");
  }
  const std::optional<std::string> data = platform::ReadFileText(path);
  if (!data) throw CliffDataError("Cannot read file \"" + platform::TextFromPath(path) + "\"");
  return std::make_shared<const core::Bytes>(data->begin(), data->end());
}

std::filesystem::path DefaultCliffDataPath() {
  return platform::ProgramFile(platform::ProgramFileKind::Data, kCliffDataFileName);
}

}  // namespace kartwerk::records

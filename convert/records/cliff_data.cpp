#include "convert/records/cliff_data.hpp"

#include <fstream>
#include <iterator>
#include <system_error>
#include "platform/path_text.hpp"
#include "platform/whole_file.hpp"

namespace kartwerk {

std::shared_ptr<const Bytes> LoadCliffData(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    throw CliffDataError("Missing file named cliffdata: \"" + TextFromPath(path) + "\"");
  }
  const std::optional<std::string> data = ReadFileText(path);
  if (!data) throw CliffDataError("Cannot read file \"" + TextFromPath(path) + "\"");
  return std::make_shared<const Bytes>(data->begin(), data->end());
}

std::filesystem::path DefaultCliffDataPath() { return ProgramFile(ProgramFileKind::Data, kCliffDataFileName); }

}  // namespace kartwerk

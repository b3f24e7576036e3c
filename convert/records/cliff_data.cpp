#include "convert/records/cliff_data.hpp"

#include <fstream>
#include <iterator>
#include <system_error>
#include "core/path_text.hpp"

namespace kartwerk {

std::shared_ptr<const Bytes> LoadCliffData(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    throw CliffDataError("Missing file named cliffdata: \"" + TextFromPath(path) + "\"");
  }
  std::ifstream in(path, std::ios::binary);
  Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in && !in.eof()) throw CliffDataError("Cannot read file \"" + TextFromPath(path) + "\"");
  return std::make_shared<const Bytes>(std::move(data));
}

std::filesystem::path DefaultCliffDataPath() { return ProgramFile(ProgramFileKind::Data, kCliffDataFileName); }

}  // namespace kartwerk

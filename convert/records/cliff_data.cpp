#include "convert/cliff_data.hpp"

#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kartwerk {

std::shared_ptr<const Bytes> LoadCliffData(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    throw CliffDataError("Missing file named cliffdata: \"" + path.string() + "\"");
  }
  std::ifstream in(path, std::ios::binary);
  Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in && !in.eof()) throw CliffDataError("Cannot read file \"" + path.string() + "\"");
  return std::make_shared<const Bytes>(std::move(data));
}

std::filesystem::path ProgramFolder() {
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::filesystem::current_path();
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  return std::filesystem::path(buffer).parent_path();
#else
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path();
  return self.parent_path();
#endif
}

std::filesystem::path DefaultCliffDataPath() { return ProgramFolder() / kCliffDataFileName; }

}  // namespace kartwerk

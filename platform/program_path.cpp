#include "platform/program_path.hpp"

#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kartwerk::platform {

std::filesystem::path ProgramPath() {
#ifdef _WIN32
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
#else
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : self;
#endif
}

std::filesystem::path ProgramFolder() {
  const std::filesystem::path program = ProgramPath();
  return program.empty() ? std::filesystem::current_path() : program.parent_path();
}

}  // namespace kartwerk::platform

#include "install/shell_open.hpp"

// shellapi.h needs the types windows.h declares.
#include <windows.h>

#include <shellapi.h>

namespace kartwerk {

bool OpenWithShell(const std::filesystem::path& program, const std::filesystem::path& workingFolder) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", program.c_str(), L"", workingFolder.c_str(), SW_SHOWNORMAL));
  return result > 32;  // values up to 32 are the shell's error codes
}

}  // namespace kartwerk

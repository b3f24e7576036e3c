#include "desktop/shell_open.hpp"

// shellapi.h needs the types windows.h declares.
#include <windows.h>

#include <shellapi.h>

#include <system_error>

#include "core/error_text.hpp"

namespace kartwerk::desktop {

std::optional<std::string> OpenWithShell(const std::filesystem::path& program,
                                         const std::filesystem::path& workingFolder) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // No dialog of the shell's own: the program reports the failure in its notice.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = program.c_str();
  info.lpParameters = L"";
  info.lpDirectory = workingFolder.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&info)) return std::nullopt;
  return core::ErrorText({static_cast<int>(GetLastError()), std::system_category()});
}

}  // namespace kartwerk::desktop

#include "desktop/shell_open.hpp"

// shellapi.h needs the types windows.h declares.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/path_text.hpp"

namespace kartwerk::desktop {
namespace {

// The system's own words for an error code, on one line without the final full stop's line feed.
std::string SystemErrorText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) wide.pop_back();
  if (wide.empty()) return "Windows error " + std::to_string(code);
  return platform::TextFromPath(std::filesystem::path(wide));
}

}  // namespace

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
  return SystemErrorText(GetLastError());
}

}  // namespace kartwerk::desktop

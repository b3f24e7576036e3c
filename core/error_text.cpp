#include "core/error_text.hpp"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kartwerk::core {

#ifdef _WIN32

namespace {

// The Windows error each C library number of a failed file call is made from (the C library's
// own table read backwards, one Windows error for each number).
struct ErrnoOrigin {
  std::errc number;
  DWORD windowsError;
};
constexpr ErrnoOrigin kErrnoOrigins[] = {
    {std::errc::permission_denied, ERROR_ACCESS_DENIED},
    {std::errc::operation_not_permitted, ERROR_ACCESS_DENIED},
    {std::errc::no_such_file_or_directory, ERROR_PATH_NOT_FOUND},
    {std::errc::file_exists, ERROR_ALREADY_EXISTS},
    {std::errc::no_space_on_device, ERROR_DISK_FULL},
    {std::errc::read_only_file_system, ERROR_WRITE_PROTECT},
    {std::errc::directory_not_empty, ERROR_DIR_NOT_EMPTY},
    {std::errc::device_or_resource_busy, ERROR_SHARING_VIOLATION},
    {std::errc::filename_too_long, ERROR_FILENAME_EXCED_RANGE},
    {std::errc::not_a_directory, ERROR_DIRECTORY},
    {std::errc::cross_device_link, ERROR_NOT_SAME_DEVICE},
    {std::errc::too_many_files_open, ERROR_TOO_MANY_OPEN_FILES},
    {std::errc::not_enough_memory, ERROR_NOT_ENOUGH_MEMORY},
    {std::errc::invalid_argument, ERROR_INVALID_PARAMETER},
    {std::errc::io_error, ERROR_IO_DEVICE},
};

DWORD WindowsErrorOf(const std::error_code& error) {
  if (error.category() == std::system_category()) return static_cast<DWORD>(error.value());
  if (error.category() != std::generic_category()) return 0;
  for (const ErrnoOrigin& origin : kErrnoOrigins) {
    if (error == origin.number) return origin.windowsError;
  }
  return 0;
}

// Windows' text for code in the user's language, UTF-8; empty when it has none.
std::string FormattedMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string utf8;
  if (length > 0 && text != nullptr) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (size > 0) {
      utf8.resize(static_cast<std::size_t>(size));
      WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr, nullptr);
    }
  }
  if (text != nullptr) LocalFree(text);
  // "Access is denied.\r\n": the message goes on after the reason, or ends with it.
  while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == ' ' || utf8.back() == '.')) {
    utf8.pop_back();
  }
  return utf8;
}

}  // namespace

std::string ErrorText(const std::error_code& error) {
  if (const DWORD code = WindowsErrorOf(error); code != 0) {
    if (std::string text = FormattedMessage(code); !text.empty()) return text;
  }
  return error.message();
}

std::error_code LastFileError() {
  if (const DWORD code = GetLastError(); code != 0) return {static_cast<int>(code), std::system_category()};
  return {errno, std::generic_category()};
}

std::error_code FileSystemError(const std::error_code& reported) {
  if (!reported) return reported;
  if (const DWORD code = GetLastError(); code != 0) return {static_cast<int>(code), std::system_category()};
  return reported;
}

void ClearLastFileError() {
  SetLastError(0);
  errno = 0;
}

#else

std::string ErrorText(const std::error_code& error) { return error.message(); }

std::error_code LastFileError() { return {errno, std::generic_category()}; }

std::error_code FileSystemError(const std::error_code& reported) { return reported; }

void ClearLastFileError() { errno = 0; }

#endif

}  // namespace kartwerk::core

#include "platform/folder_name_key.hpp"

#include "core/text.hpp"
#include "platform/path_text.hpp"

#ifdef _WIN32
#include <windows.h>

#include <utility>
#endif

namespace kartwerk::platform {

#ifdef _WIN32

std::string FolderNameKey(std::string_view name) {
  std::wstring wide = PathFromText(name).native();
  while (!wide.empty() && (wide.back() == L'.' || wide.back() == L' ')) wide.pop_back();
  if (wide.empty()) return {};
  std::wstring upper(wide.size() * 2, L'\0');
  const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.c_str(), static_cast<int>(wide.size()),
                                   upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
  if (length > 0) {
    upper.resize(static_cast<std::size_t>(length));
    wide = std::move(upper);
  }
  return TextFromPath(std::filesystem::path(wide));
}

#else

std::string FolderNameKey(std::string_view name) { return core::AsciiLower(name); }

#endif

}  // namespace kartwerk::platform

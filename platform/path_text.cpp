#include "platform/path_text.hpp"

#ifdef _WIN32
#include <windows.h>

#include "core/cp1252.hpp"
#endif

namespace kartwerk::platform {

#ifdef _WIN32

namespace {

// UTF-16 of a UTF-8 text; false when the text is no well-formed UTF-8.
bool WideFromUtf8(std::string_view text, std::wstring& wide) {
  wide.clear();
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (size <= 0) return false;
  wide.resize(static_cast<std::size_t>(size));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), size) == size;
}

}  // namespace

std::filesystem::path PathFromText(std::string_view text) {
  std::wstring wide;
  if (!WideFromUtf8(text, wide)) WideFromUtf8(core::Cp1252ToUtf8(std::string(text)), wide);
  return std::filesystem::path(std::move(wide));
}

std::string TextFromPath(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

#else

std::filesystem::path PathFromText(std::string_view text) { return std::filesystem::path(std::string(text)); }

std::string TextFromPath(const std::filesystem::path& path) { return path.string(); }

#endif

}  // namespace kartwerk::platform

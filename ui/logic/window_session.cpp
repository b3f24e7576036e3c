#include "ui/logic/window_session.hpp"

#include <exception>

#include "core/exception_text.hpp"
#include "format/map_info.hpp"
#include "ui/logic/window_face.hpp"

namespace kartwerk::logic {

void WindowSession::EndProgram(bool fatal) {
  if (ended_) return;
  ended_ = true;
  LeaveMainLoop(fatal || lastConversionFailed_ ? 1 : 0);
}

namespace {

// Whether bytes are well-formed UTF-8 (shortest forms, no surrogates, at most U+10FFFF).
bool IsUtf8(const std::string& bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 1;
    unsigned char low = 0x80, high = 0xBF;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(bytes[i + k]);
      if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

std::string FileNameUtf8(const std::string& bytes) { return IsUtf8(bytes) ? bytes : core::Cp1252ToUtf8(bytes); }

std::string PathUtf8(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
#else
  return FileNameUtf8(path.string());
#endif
}

}  // namespace kartwerk::logic

#include "core/shown_text.hpp"

#include <cstdio>

#include "core/utf8_text.hpp"

namespace kartwerk::core {
namespace {

std::string Escaped(std::string_view text, bool keepLineFeeds) {
  std::string shown;
  shown.reserve(text.size());
  char escaped[8];
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const Utf8Char c = DecodeUtf8At(text, i);
    if (c.length == 0) {
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
      ++i;
      continue;
    }
    const char32_t cp = c.codePoint;
    if (cp == '\n' && keepLineFeeds) {
      shown += '\n';
    } else if (cp == '\r' || cp == '\n' || cp == '\t') {
      shown += cp == '\r' ? "\\r" : cp == '\n' ? "\\n" : "\\t";
    } else if (cp < 0x20 || cp == 0x7F) {
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(cp));
      shown += escaped;
    } else if (cp >= 0x80 && cp <= 0x9F) {
      // A terminal takes U+009B as the start of an escape sequence, as it takes ESC "[".
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(cp));
      shown += escaped;
    } else {
      shown.append(text.substr(i, c.length));
    }
    i += c.length;
  }
  return shown;
}

}  // namespace

std::string ShownText(std::string_view text) { return Escaped(text, false); }

std::string TerminalText(std::string_view text) { return Escaped(text, true); }

}  // namespace kartwerk::core

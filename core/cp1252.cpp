#include "core/cp1252.hpp"

#include <array>

#include "core/utf8_text.hpp"

namespace kartwerk::core {
namespace {

// The code page's characters at 0x80..0x9F; 0 where it defines none.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t CharacterOf(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  return kHigh[byte - 0x80] ? kHigh[byte - 0x80] : 0xFFFD;
}

// The byte of a character, or -1 when the code page has none.
int ByteOf(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<int>(codePoint);
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == codePoint) return static_cast<int>(0x80 + i);
  }
  // The five bytes the code page leaves undefined hold the control characters of their number.
  if (codePoint >= 0x80 && codePoint < 0xA0 && kHigh[codePoint - 0x80] == 0) return static_cast<int>(codePoint);
  return -1;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) AppendUtf8(out, CharacterOf(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp1252(std::string_view text, bool& lost) {
  lost = false;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char c = DecodeUtf8At(text, i);
    if (c.length == 0) {
      out += text[i++];
      continue;
    }
    const int byte = ByteOf(c.codePoint);
    if (byte < 0) lost = true;
    out += byte < 0 ? '?' : static_cast<char>(byte);
    i += c.length;
  }
  return out;
}

std::string WellFormedUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char c = DecodeUtf8At(text, i);
    if (c.length == 0) {
      AppendUtf8(out, CharacterOf(static_cast<unsigned char>(text[i++])));
    } else {
      out.append(text.substr(i, c.length));
      i += c.length;
    }
  }
  return out;
}

}  // namespace kartwerk::core

// UTF-8 and UTF-16 for registry texts: Wine and Windows keep them as UTF-16 code units,
// the rest of the program (paths, JSON) works in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kartwerk {

// Appends a code point as UTF-8; surrogates and values past U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// UTF-16 code units to UTF-8; surrogate pairs are joined, a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

// Decodes the UTF-8 sequence at text[pos]: its code point and length, or length 0 when the bytes
// there are no well-formed sequence.
struct Utf8Char {
  char32_t codePoint = 0;
  std::size_t length = 0;
};
Utf8Char DecodeUtf8At(std::string_view text, std::size_t pos);

}  // namespace kartwerk

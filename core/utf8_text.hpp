// UTF-8, the form in which the program keeps every text it shows or prints (paths on Windows,
// registry texts, JSON), decoded and encoded one code point at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kartwerk::core {

// Appends a code point as UTF-8; surrogates and values past U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// Decodes the UTF-8 sequence at text[pos]: its code point and length, or length 0 when the bytes
// there are no well-formed sequence (an overlong form, a surrogate, a cut sequence, a stray byte).
struct Utf8Char {
  char32_t codePoint = 0;
  std::size_t length = 0;
};
Utf8Char DecodeUtf8At(std::string_view text, std::size_t pos);

}  // namespace kartwerk::core

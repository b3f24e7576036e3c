// UTF-8 and UTF-16 for registry texts: Wine and Windows keep them as UTF-16 code units,
// the rest of the program (paths, JSON) works in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/utf8_text.hpp"

namespace kartwerk::game {

// UTF-16 code units to UTF-8; surrogate pairs are joined, a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

}  // namespace kartwerk::game

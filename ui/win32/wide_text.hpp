// The windows' texts are UTF-8 in the window logic and UTF-16 in every Windows call.
#pragma once

#include <string>
#include <string_view>

namespace kartwerk::win32 {

// UTF-8 to UTF-16; ill-formed bytes become U+FFFD.
std::wstring Wide(std::string_view utf8);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view utf16);

}  // namespace kartwerk::win32

// Names and paths that come from outside (a map's file name, a folder given on the command line,
// a title read from a slot) are shown on a terminal, where a carriage return or an escape
// sequence inside them would be obeyed instead of shown: a name could overwrite the line before
// it or make a failure look like a success. Every such text passes through ShownText on its way
// to the user.
#pragma once

#include <string>
#include <string_view>

namespace kartwerk {

// The text with every control character written out: "\r", "\n", "\t" and "\xHH" for the other
// C0 controls and DEL, "\u0080" ... "\u009f" for the C1 controls of UTF-8. Everything else,
// backslashes and non-ASCII letters included, stays as it is, so a path still reads as a path.
std::string ShownText(std::string_view text);

}  // namespace kartwerk

// Text that reaches a terminal: a carriage return, an escape sequence or a C1 control inside a
// name would be obeyed instead of shown (a name could overwrite the line before it, set the
// window's title or make a failure look like a success). Everything the program prints passes
// through TerminalText on its way out (app/terminal_output.hpp); ShownText additionally writes
// out the line ends inside a name, so that one name never reads as two lines.
#pragma once

#include <string>
#include <string_view>

namespace kartwerk::core {

// The text with every control character written out: "\r", "\n", "\t" and "\x1b" style for the
// other C0 controls and DEL, "\u009b" style for the C1 controls (U+0080 ... U+009F) of UTF-8, and
// "\xHH" for every byte that belongs to no well-formed UTF-8 sequence (a raw 0x9B is a control to
// a terminal too). Everything else, backslashes and letters past ASCII included, stays as it is,
// so a path still reads as a path.
std::string ShownText(std::string_view text);

// ShownText that keeps line feeds: for whole lines of output.
std::string TerminalText(std::string_view text);

}  // namespace kartwerk::core

// Windows-1252, the code page of every editor text file, to and from the UTF-8 the program
// shows and prints. Bytes 0x80 to 0x9F hold the code page's letters (0x99 is the ™ sign); the five
// bytes it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for U+0081 ... U+009D when a
// text is encoded, as the system's own conversion maps them, and show as U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace kartwerk::core {

// Windows-1252 bytes shown as UTF-8 (for windows, JSON and terminals).
std::string Cp1252ToUtf8(std::string_view bytes);

// A text for an editor file, from UTF-8: each character as its Windows-1252 byte, "?" for one
// the code page cannot hold (no best fit: "Ā" is "?", not "A"). A byte that belongs to no
// well-formed UTF-8 sequence (a Linux file name in a single-byte code page) is taken as the
// Windows-1252 byte it already is. lost is set when any character became "?".
std::string Utf8ToCp1252(std::string_view text, bool& lost);

// The text as well-formed UTF-8: its well-formed sequences unchanged, every other byte read as
// the Windows-1252 character of that byte (for JSON, which holds only UTF-8).
std::string WellFormedUtf8(std::string_view text);

}  // namespace kartwerk::core

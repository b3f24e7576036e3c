// Script converter: one compiled script of a mission's scripts section becomes the text
// block the editor keeps for it in "scripts2".
//
// A compiled script is an 8-byte head followed by statements of 32-bit items. Each
// statement is any number of argument items closed by a code item (high half 0 or 7FFF);
// the code picks a keyword row whose value slots take the statement's items in order.
// The end statement (code FFFF) closes the script.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/byte_stream.hpp"
#include "format/game_version.hpp"

namespace kartwerk::platform {
class OutputFile;
}  // namespace kartwerk::platform

namespace kartwerk::records {

// A statement closed by a code that the keyword table has no row for (0, or 98 to 65534).
class ScriptCodeError : public std::runtime_error {
 public:
  ScriptCodeError(std::uint32_t code, std::int32_t scriptIndex);
};

// The line of one statement value: "#", the decimal digits of the value in reverse order
// and a line feed. Values from FF00 up stand for 7FFFFF00 plus their low byte; 0 gives "#"
// alone.
std::string FormatScriptValue(std::uint16_t value);
// The same line appended to out.
void AppendScriptValue(std::string& out, std::uint16_t value);

// The name the editor gives the script of a 0-based index: "Script 00", ..., "Script 10".
std::string ScriptName(std::int32_t scriptIndex);

// Reads the script that starts at the stream's position and returns its "scripts2" block:
// the header line (name and body size), the body, and CR LF. The stream is left at the
// first byte after the end statement, where the next script begins. gameVersionKind picks
// the keyword set (1 for the first set, anything else for the second).
//
// Throws StreamReadError when the data ends before the end statement, ListIndexError
// ("List index out of bounds (%d)") when a value slot or a connective finds nothing to take,
// and ScriptCodeError for a code without a keyword row.
std::string ConvertScript(core::ByteStream& stream, std::int32_t scriptIndex, format::GameVersionKind gameVersionKind);

// The same block appended to out, without holding the block's text: a script of millions of
// statements keeps a few bytes per statement in memory.
void WriteScript(platform::OutputFile& out, core::ByteStream& stream, std::int32_t scriptIndex,
                 format::GameVersionKind gameVersionKind);

}  // namespace kartwerk::records

// The JSON the commands print (--json): always valid, whatever bytes a path, a registry value or
// a map's text holds. JSON holds only UTF-8, so a byte that belongs to no well-formed UTF-8
// sequence (a Linux file name in a single-byte code page, say) is read as the Windows-1252
// character of that byte, as Kartwerk reads such names everywhere (the five bytes the code page
// leaves undefined become U+FFFD). Control characters, DEL and the C1 controls are written as
// \u escapes, so the text carries no control character to a terminal.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace kartwerk::app {

// value as indented JSON text, without the final line end.
std::string JsonText(const nlohmann::json& value);

}  // namespace kartwerk::app

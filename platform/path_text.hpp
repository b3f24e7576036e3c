// Paths and the program's texts. Names that the program keeps as text (a map's name, its
// mission files, folders given on the command line or read from the registry) are UTF-8 on
// Windows, where paths are UTF-16, and plain bytes on Linux, where paths are bytes. These two
// functions are the only way between the two forms: the standard library would read a text as
// single bytes on Windows (one character per byte), which garbles every name past ASCII.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kartwerk::platform {

// The path a text names. On Windows the text is read as UTF-8; a text that is no well-formed
// UTF-8 (a name stored by an old tool) is read as Windows-1252. On Linux the bytes are the path.
std::filesystem::path PathFromText(std::string_view text);

// The text of a path: UTF-8 on Windows, the path's own bytes on Linux.
std::string TextFromPath(const std::filesystem::path& path);

}  // namespace kartwerk::platform

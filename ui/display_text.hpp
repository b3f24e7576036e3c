// Turning the program's byte texts into what a window shows. The game's own texts (slot titles,
// map names read from its files) are Windows-1252 bytes; file names are the file system's bytes,
// which are UTF-8 here unless they come from an older system.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace kartwerk {

// Windows-1252 bytes as Unicode (0x99 is the trade mark sign).
QString GameText(std::string_view cp1252);

// A file name's bytes: UTF-8 when they are well-formed UTF-8, otherwise Windows-1252.
QString FileNameText(std::string_view bytes);

// A path as the window shows it.
QString PathText(const std::filesystem::path& path);

// The message of the exception being handled, for the error report (call inside a catch block).
QString CurrentExceptionText();

}  // namespace kartwerk

// Where the program's own files are. In a build folder (and on Windows) they lie beside the
// executable; an installed program keeps its data in share/kartwerk and its windows module in
// lib/kartwerk/modules, both found from the executable's own folder (bin/), so a moved tree still works.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/program_path.hpp"

namespace kartwerk::platform {

enum class ProgramFileKind {
  Data,    // cliffdata, pictures: share/kartwerk when installed
  Module,  // the windows module: lib/kartwerk/modules when installed
};

// The file of that name: in the installed folder of its kind when it is there, else beside the
// executable when it is there. When neither holds it, the installed place if that folder exists
// (so a message names where the file belongs), else the place beside the executable.
std::filesystem::path ProgramFile(ProgramFileKind kind, std::string_view name);

// Where installed files of a kind lie for a program in programFolder: programFolder/../share/kartwerk
// or programFolder/../lib/kartwerk (as the build configured them), lexically normalised.
std::filesystem::path InstalledFolder(const std::filesystem::path& programFolder, ProgramFileKind kind);

}  // namespace kartwerk::platform

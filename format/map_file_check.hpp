// Whether a path names a compiled map the program can open, answered before any work starts
// with one line that names the file and the problem.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kartwerk::format {

// ".qdm", ".qdp" or ".qdc", in any letter case.
bool HasCompiledMapExtension(const std::filesystem::path& path);

// Nothing for an existing file with a compiled map's extension; otherwise the reason, with the
// path as given: "\"x.qdm\" does not exist", "\"x.qdm\" is a folder",
// "\"x.txt\" is not a compiled map (expected .qdm, .qdp or .qdc)", "\"x.qdm\" is not a map file".
std::optional<std::string> MapFileProblem(const std::filesystem::path& path);

}  // namespace kartwerk::format

// Finding files the way the game's own file system does: names compare without regard
// to case, and listings come sorted case-insensitively.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kartwerk::platform {

// Names of the regular files in folder that match pattern ('*', '?'), sorted case-insensitively.
std::vector<std::string> FindFilesIgnoringCase(const std::filesystem::path& folder, std::string_view pattern);

// folder / name when it exists; otherwise the entry of folder whose name equals name
// without regard to case; otherwise folder / name unchanged.
std::filesystem::path ResolveIgnoringCase(const std::filesystem::path& folder, const std::string& name);

// Joins relative components (separated by '\' or '/') onto base, each resolved as above.
std::filesystem::path JoinIgnoringCase(const std::filesystem::path& base, std::string_view relative);

}  // namespace kartwerk::platform

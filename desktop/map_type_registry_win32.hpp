// The map types in the Windows registry: writing their entries under HKEY_CLASSES_ROOT, reading
// who opens them now, and where the installer put kartwerk.exe. Built on Windows only.
#pragma once

#ifdef _WIN32
#include <filesystem>

#include "desktop/association_rules.hpp"
#include "desktop/map_types.hpp"

namespace kartwerk::desktop {

// Creates the six class-root entries of one map type for program (ClassRootEntries).
// Throws std::runtime_error naming the key that could not be written.
void RegisterMapType(const MapType& type, const std::filesystem::path& program);

// The class HKEY_CLASSES_ROOT names for the type's extension, and whether the command of its
// default verb ("open" when it names none) starts a program that exists.
MapTypeHandler CurrentMapTypeHandler(const MapType& type);

// The installed kartwerk.exe, as the installer's App Paths key names it; empty when Kartwerk is
// not installed.
std::filesystem::path InstalledProgram();

}  // namespace kartwerk::desktop
#endif

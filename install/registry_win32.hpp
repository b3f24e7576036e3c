// The Windows registry itself: reading the game's key under HKEY_LOCAL_MACHINE, writing the map
// types' entries under HKEY_CLASSES_ROOT and reading who opens them now. Built on Windows only.
#pragma once

#ifdef _WIN32
#include <filesystem>
#include <memory>

#include "install/association_rules.hpp"
#include "install/map_types.hpp"
#include "install/registry.hpp"

namespace kartwerk {

// HKEY_LOCAL_MACHINE, read only; registered folders are local paths already.
std::shared_ptr<const RegistrySource> OpenWin32Registry();

// Creates the six class-root entries of one map type for program (ClassRootEntries).
// Throws std::runtime_error naming the key that could not be written.
void RegisterMapType(const MapType& type, const std::filesystem::path& program);

// The class HKEY_CLASSES_ROOT names for the type's extension, and whether the command of its
// default verb ("open" when it names none) starts a program that exists.
MapTypeHandler CurrentMapTypeHandler(const MapType& type);

// The installed kartwerk.exe, as the installer's App Paths key names it; empty when Kartwerk is
// not installed.
std::filesystem::path InstalledProgram();

}  // namespace kartwerk
#endif

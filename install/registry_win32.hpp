// The Windows registry itself: reading the game's key under HKEY_LOCAL_MACHINE and writing
// the map types' entries under HKEY_CLASSES_ROOT. Built on Windows only.
#pragma once

#ifdef _WIN32
#include <filesystem>
#include <memory>

#include "install/map_types.hpp"
#include "install/registry.hpp"

namespace kartwerk {

// HKEY_LOCAL_MACHINE, read only; registered folders are local paths already.
std::shared_ptr<const RegistrySource> OpenWin32Registry();

// Creates the six class-root entries of one map type for program (ClassRootEntries).
// Throws std::runtime_error naming the key that could not be written.
void RegisterMapType(const MapType& type, const std::filesystem::path& program);

}  // namespace kartwerk
#endif

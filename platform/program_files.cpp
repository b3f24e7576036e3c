#include "platform/program_files.hpp"

#include <system_error>

// The installed folders relative to the executable's, set by the build from the install layout.
#ifndef KARTWERK_DATA_FROM_BIN
#define KARTWERK_DATA_FROM_BIN "../share/kartwerk"
#endif
#ifndef KARTWERK_MODULE_FROM_BIN
#define KARTWERK_MODULE_FROM_BIN "../lib/kartwerk/modules"
#endif

namespace kartwerk::platform {
namespace {

bool Exists(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

}  // namespace

std::filesystem::path InstalledFolder(const std::filesystem::path& programFolder, ProgramFileKind kind) {
  const char* relative = kind == ProgramFileKind::Data ? KARTWERK_DATA_FROM_BIN : KARTWERK_MODULE_FROM_BIN;
  return (programFolder / relative).lexically_normal();
}

std::filesystem::path ProgramFile(ProgramFileKind kind, std::string_view name) {
  const std::filesystem::path program = ProgramFolder();
  const std::filesystem::path installedFolder = InstalledFolder(program, kind);
  const std::filesystem::path installed = installedFolder / name;
  const std::filesystem::path beside = program / name;
  if (Exists(installed)) return installed;
  if (Exists(beside)) return beside;
  return Exists(installedFolder) ? installed : beside;
}

}  // namespace kartwerk::platform

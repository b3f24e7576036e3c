#include "desktop/map_type_registry_win32.hpp"

#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#include "game/registry_win32.hpp"

namespace kartwerk::desktop {
namespace {

// A command's program as the shell finds it: environment variables expanded, a bare name looked
// up on the search path.
bool ProgramExists(const std::string& program) {
  if (program.empty()) return false;
  const std::wstring unexpanded = game::Wide(program);
  std::wstring wide(ExpandEnvironmentStringsW(unexpanded.c_str(), nullptr, 0), L'\0');
  if (wide.empty() ||
      ExpandEnvironmentStringsW(unexpanded.c_str(), wide.data(), static_cast<DWORD>(wide.size())) == 0) {
    return false;
  }
  wide.resize(wcslen(wide.c_str()));
  if (wide.find_first_of(L"\\/:") == std::wstring::npos) {
    wchar_t found[MAX_PATH];
    return SearchPathW(nullptr, wide.c_str(), L".exe", MAX_PATH, found, nullptr) != 0;
  }
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(wide), ec);
}

}  // namespace

void RegisterMapType(const MapType& type, const std::filesystem::path& program) {
  const std::wstring wideProgram = program.wstring();
  for (const ClassRootEntry& entry : ClassRootEntries(type, game::Utf8(wideProgram))) {
    HKEY key = nullptr;
    const std::wstring name = game::Wide(entry.key);
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      throw std::runtime_error("Cannot create the registry key HKEY_CLASSES_ROOT\\" + entry.key);
    }
    const std::wstring value = game::Wide(entry.value);
    const LONG written = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (written != ERROR_SUCCESS) {
      throw std::runtime_error("Cannot write the registry key HKEY_CLASSES_ROOT\\" + entry.key);
    }
  }
}

MapTypeHandler CurrentMapTypeHandler(const MapType& type) {
  MapTypeHandler handler;
  handler.progId = game::DefaultValue(HKEY_CLASSES_ROOT, "." + std::string(type.extension));
  if (handler.progId.empty()) return handler;
  std::string verb = game::DefaultValue(HKEY_CLASSES_ROOT, handler.progId + "\\Shell");
  if (verb.empty()) verb = "open";
  const std::string command = game::DefaultValue(HKEY_CLASSES_ROOT, handler.progId + "\\Shell\\" + verb + "\\command");
  handler.works = ProgramExists(CommandProgram(command));
  return handler;
}

std::filesystem::path InstalledProgram() {
  const std::string program =
      game::DefaultValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kartwerk.exe");
  return program.empty() ? std::filesystem::path() : std::filesystem::path(game::Wide(program));
}

}  // namespace kartwerk::desktop

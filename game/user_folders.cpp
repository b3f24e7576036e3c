#include "game/user_folders.hpp"

#include <cstdlib>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace kartwerk::game {

std::filesystem::path HomeFolder() {
#ifdef _WIN32
  const char* home = std::getenv("USERPROFILE");
  if (home && *home) return home;
  return {};
#else
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return {};
#endif
}

std::filesystem::path UserDataHome() {
  // A relative XDG_DATA_HOME is invalid and must be ignored.
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && *dataHome && std::filesystem::path(dataHome).is_absolute()) return dataHome;  // XDG: not on Windows
  return HomeFolder() / ".local" / "share";
}

std::filesystem::path UserProgramDataFolder() {
#ifdef _WIN32
  const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
  if (local && *local) return local;
  return HomeFolder() / "AppData" / "Local";
#else
  return UserDataHome();
#endif
}

}  // namespace kartwerk::game
